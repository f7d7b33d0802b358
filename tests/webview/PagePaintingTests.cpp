#include "webview/PagePainting.h"

#include "support/TemporaryDirectory.h"

#include <gtest/gtest.h>

namespace quorin {
namespace {

// Only a render node counts: a display-only card node is no GPU the engine can render with.
TEST(PagePaintingTests, OnlyARenderNodeCountsAsAGPU)
{
    testing::TemporaryDirectory folder;
    EXPECT_FALSE(PagePainting::hasGPURenderNode(folder.pathOf("missing")));
    folder.write("card0", "");
    EXPECT_FALSE(PagePainting::hasGPURenderNode(folder.path()));
    folder.write("renderD128", "");
    EXPECT_TRUE(PagePainting::hasGPURenderNode(folder.path()));
}

} // namespace
} // namespace quorin
