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

TEST(RuntimeManifestTest, DecodingChecksShapesNotValues)
{
    const std::pair<const char*, bool> cases[] = {
        { R"({"schemaVersion": 7, "runtimeFileCount": -3, "runtimeSHA256": {}, "extra": null})", true },
        { R"({"schemaVersion": 1.0, "runtimeFileCount": 0, "runtimeSHA256": {"a": "b"}})", true },
        { R"({"runtimeFileCount": 0, "runtimeSHA256": {}})", false },
        { R"({"schemaVersion": 1, "runtimeSHA256": {}})", false },
        { R"({"schemaVersion": 1, "runtimeFileCount": 0})", false },
        { R"({"schemaVersion": 1, "runtimeFileCount": 0, "runtimeSHA256": {"a": null}})", false },
        { R"({"schemaVersion": 1, "runtimeFileCount": 0, "runtimeSHA256": ["a"]})", false },
        { R"({"schemaVersion": 1, "runtimeFileCount": false, "runtimeSHA256": {}})", false },
        { R"({"schemaVersion": 1, "runtimeFileCount": 1e30, "runtimeSHA256": {}})", false },
        { R"({"schemaVersion": 1, "runtimeFileCount": 0, "runtimeSHA256": {}} x)", false },
        { "", false },
        { "null", false },
    };
    for (const auto& [text, decodes] : cases)
        EXPECT_EQ(RuntimeManifest::decode(text).has_value(), decodes) << text;
}

} // namespace
} // namespace quorin
