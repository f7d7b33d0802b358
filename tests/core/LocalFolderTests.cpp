#include "core/LocalFolder.h"
#include "core/LocalFolderCases.h"

#include <gtest/gtest.h>

namespace quorin::test {
namespace {

constexpr std::string_view root = "/opt/Quorin%204.2.app/Contents/Resources";

TEST(LocalFolder, ContainsExactlyThePlainFileURLsInsideIt)
{
    auto folder = LocalFolder::of(*Url::parse(withRoot("file://{root}/WebUI/", root)));
    ASSERT_TRUE(folder.has_value());
    for (const auto& testCase : localFolderCases) {
        auto url = Url::parse(withRoot(testCase.url, root));
        EXPECT_EQ(url && folder->contains(*url), testCase.inside) << testCase.url;
    }
}

} // namespace
} // namespace quorin::test
