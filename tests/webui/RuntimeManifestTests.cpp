#include "webui/RuntimeManifest.h"

#include <gtest/gtest.h>

namespace quorin {
namespace {

TEST(RuntimeManifestTest, EncodedManifestDecodesToTheSameRecord)
{
    RuntimeManifest manifest;
    manifest.runtimeFileCount = 2;
    manifest.runtimeSHA256 = { { "renderer/index.html", std::string(64, 'a') }, { "assets/\xC3\xA7izgi.svg", std::string(64, 'B') } };

    auto text = manifest.encode();
    ASSERT_TRUE(text.has_value());
    EXPECT_TRUE(text->ends_with("}\n"));
    EXPECT_LT(text->find("\"runtimeFileCount\""), text->find("\"schemaVersion\"")) << "keys are sorted";
    EXPECT_EQ(RuntimeManifest::decode(*text), manifest);
}

TEST(RuntimeManifestTest, PathsThatAreNotUTF8CannotBeEncoded)
{
    RuntimeManifest manifest;
    manifest.runtimeSHA256 = { { "assets/\xFF.png", std::string(64, 'a') } };
    EXPECT_FALSE(manifest.encode().has_value());
}

} // namespace
} // namespace quorin
