#include "shell/ZoomLevel.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

namespace quorin {
namespace {

// Exact double comparisons on purpose: the page must read 1.1, not 1.1000000000000001.
TEST(ZoomLevelTests, Normalises)
{
    struct Case {
        double value;
        double expected;
    };
    const std::vector<Case> cases = {
        { std::numeric_limits<double>::quiet_NaN(), 1.0 },
        { std::numeric_limits<double>::infinity(), 1.0 },
        { -std::numeric_limits<double>::infinity(), 1.0 },
        { -3.0, 0.5 },
        { 0.0, 0.5 },
        { 0.45, 0.5 },
        { 0.5, 0.5 },
        { 0.54, 0.5 },
        { 0.55, 0.6 },
        { 1.0, 1.0 },
        { 1.04, 1.0 },
        { 1.05, 1.1 },
        { 1.25, 1.3 },
        { 1.35, 1.4 },
        { 1.2000000000000002, 1.2 },
        { 1.96, 2.0 },
        { 2.0, 2.0 },
        { 2.04, 2.0 },
        { 2.06, 2.0 },
        { std::numeric_limits<double>::max(), 2.0 },
    };
    for (const auto& c : cases)
        EXPECT_EQ(ZoomLevel::normalised(c.value), c.expected) << "value " << c.value;
}

TEST(ZoomLevelTests, ElevenStepsInFromOneReachTheCapExactly)
{
    const std::vector<double> expected = { 1.1, 1.2, 1.3, 1.4, 1.5, 1.6, 1.7, 1.8, 1.9, 2.0, 2.0 };
    double zoom = 1.0;
    for (std::size_t step = 0; step < expected.size(); ++step) {
        zoom = ZoomLevel::zoomedIn(zoom);
        EXPECT_EQ(zoom, expected[step]) << "after step " << step + 1;
    }
}

TEST(ZoomLevelTests, StepsOutDownToTheFloorExactly)
{
    const std::vector<double> expected = { 1.9, 1.8, 1.7, 1.6, 1.5, 1.4, 1.3, 1.2, 1.1, 1.0, 0.9, 0.8, 0.7, 0.6, 0.5, 0.5 };
    double zoom = 2.0;
    for (std::size_t step = 0; step < expected.size(); ++step) {
        zoom = ZoomLevel::zoomedOut(zoom);
        EXPECT_EQ(zoom, expected[step]) << "after step " << step + 1;
    }
}

TEST(ZoomLevelTests, StepsStartFromTheNormalisedPageZoom)
{
    struct Case {
        double pageZoom;
        double zoomedIn;
        double zoomedOut;
    };
    const std::vector<Case> cases = {
        { 0.55, 0.7, 0.5 },  // reads as 0.6
        { 1.23, 1.3, 1.1 },  // reads as 1.2
        { 3.0, 2.0, 1.9 },   // reads as 2.0
        { 0.1, 0.6, 0.5 },   // reads as 0.5
        { std::nan(""), 1.1, 0.9 },
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ZoomLevel::zoomedIn(c.pageZoom), c.zoomedIn) << "page zoom " << c.pageZoom;
        EXPECT_EQ(ZoomLevel::zoomedOut(c.pageZoom), c.zoomedOut) << "page zoom " << c.pageZoom;
    }
}

} // namespace
} // namespace quorin
