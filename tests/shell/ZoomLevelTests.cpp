#include "shell/ZoomLevel.h"

#include <gtest/gtest.h>

#include <limits>

namespace quorin {
namespace {

// Exact double comparisons on purpose: the page must read 1.1, not 1.1000000000000001.
TEST(ZoomLevelTests, NormalisesToTenthsBetweenHalfAndTwo)
{
    const std::pair<double, double> cases[] = { { std::numeric_limits<double>::quiet_NaN(), 1.0 }, { -std::numeric_limits<double>::infinity(), 1.0 },
        { 0.5, 0.5 }, { 0.54, 0.5 }, { 0.55, 0.6 }, { 1.2000000000000002, 1.2 }, { 2.04, 2.0 }, { 2.06, 2.0 } };
    for (auto [value, expected] : cases)
        EXPECT_EQ(ZoomLevel::normalised(value), expected) << "value " << value;
}

TEST(ZoomLevelTests, StepsFromTheNormalisedZoomLandExactlyOnTenthsAndStopAtTheEnds)
{
    double zoom = 0.5;
    for (int tenths = 6; tenths <= 20; ++tenths)
        EXPECT_EQ(zoom = ZoomLevel::zoomedIn(zoom), tenths / 10.0);
    EXPECT_EQ(ZoomLevel::zoomedIn(zoom), 2.0);
    for (int tenths = 19; tenths >= 5; --tenths)
        EXPECT_EQ(zoom = ZoomLevel::zoomedOut(zoom), tenths / 10.0);
    EXPECT_EQ(ZoomLevel::zoomedOut(zoom), 0.5);
    EXPECT_EQ(ZoomLevel::zoomedOut(std::numeric_limits<double>::quiet_NaN()), 0.9); // from 1.0
}

} // namespace
} // namespace quorin
