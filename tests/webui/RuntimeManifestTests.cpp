#include "webui/RuntimeManifest.h"

#include <gtest/gtest.h>

namespace quorin {
namespace {

TEST(RuntimeManifest, EncodesSortedJSONThatDecodesToTheSameRecordUnlessAPathIsNotUTF8)
{
    RuntimeManifest manifest { .runtimeFileCount = 2, .runtimeSHA256 = { { "renderer/index.html", std::string(64, 'a') }, { "assets/\xC3\xA7.svg", std::string(64, 'B') } } };
    auto text = manifest.encode();
    ASSERT_TRUE(text.has_value());
    EXPECT_TRUE(text->ends_with("}\n"));
    EXPECT_LT(text->find("\"runtimeFileCount\""), text->find("\"schemaVersion\""));
    EXPECT_EQ(RuntimeManifest::decode(*text), manifest);
    manifest.runtimeSHA256["assets/\xFF.png"] = std::string(64, 'a');
    EXPECT_EQ(manifest.encode(), std::nullopt);
}

} // namespace
} // namespace quorin
