#include "WebUITestFolder.h"

#include "webui/WebUIBundleLocator.h"

#include <gtest/gtest.h>

namespace quorin {
namespace {

using namespace quorin::testing;

TEST(WebUIBundleLocatorTest, PackagedFolderIsWebUIInsideResources)
{
    TemporaryDirectory temporary;
    auto application = pathOf(temporary) / "Quorin 4.2.app";
    auto webUI = application / "Contents/Resources/WebUI";
    writeValidWebUI(webUI);

    auto result = WebUIBundleLocator::packaged(ApplicationBundle(application.string()));
    ASSERT_EQ(outcomeOf(result), "ok");
    EXPECT_EQ(result->rootURL.filePath(), fs::canonical(webUI).string());
    EXPECT_EQ(result->indexURL.filePath(), fs::canonical(webUI).string() + "/renderer/index.html");
}

TEST(WebUIBundleLocatorTest, PackagedRefusalsComeFromTheFolder)
{
    TemporaryDirectory temporary;
    auto application = pathOf(temporary) / "A.app";
    ApplicationBundle bundle(application.string());

    // No Contents/Resources at all.
    fs::create_directories(application / "Contents/MacOS");
    EXPECT_EQ(outcomeOf(WebUIBundleLocator::packaged(bundle)), "invalidRoot");
    // Resources is a file, not a folder.
    writeFile(application / "Contents/Resources", "");
    EXPECT_EQ(outcomeOf(WebUIBundleLocator::packaged(bundle)), "invalidRoot");
    // Resources without WebUI.
    fs::remove(application / "Contents/Resources");
    fs::create_directories(application / "Contents/Resources/GameRuntime");
    EXPECT_EQ(outcomeOf(WebUIBundleLocator::packaged(bundle)), "invalidRoot");
    // A WebUI folder with a fault is refused by the validator's rules.
    writeValidWebUI(application / "Contents/Resources/WebUI");
    fs::create_directories(application / "Contents/Resources/WebUI/node_modules");
    EXPECT_EQ(outcomeOf(WebUIBundleLocator::packaged(bundle)), "forbiddenPath(node_modules)");
}

TEST(WebUIBundleLocatorTest, DevelopmentFolderIsValidatedAsGiven)
{
    TemporaryDirectory temporary;
    auto root = pathOf(temporary) / "build/web";
    writeValidWebUI(root);
    EXPECT_EQ(outcomeOf(WebUIBundleLocator::development(root.string())), "ok");
    fs::remove(root / "assets/logo.svg");
    EXPECT_EQ(outcomeOf(WebUIBundleLocator::development(root.string())), "missingManifestFile(assets/logo.svg)");
}

TEST(WebUIBundleValidationErrorTest, DescriptionNamesTheCaseAndPayload)
{
    using Error = WebUIBundleValidationError;
    const std::pair<Error, const char*> cases[] = {
        { Error::missingRequiredPath("renderer/dist/js"), "missingRequiredPath(renderer/dist/js)" },
        { Error::forbiddenPath("node_modules"), "forbiddenPath(node_modules)" },
        { Error::symbolicLinkNotAllowed("assets/x"), "symbolicLinkNotAllowed(assets/x)" },
        { Error::missingManifestFile("renderer/index.html"), "missingManifestFile(renderer/index.html)" },
        { Error::checksumMismatch("assets/a b.png"), "checksumMismatch(assets/a b.png)" },
        { Error::invalidRoot(), "invalidRoot" },
        { Error::invalidManifest(), "invalidManifest" },
        { Error::unsafeManifestPath(), "unsafeManifestPath" },
    };
    for (const auto& [error, expected] : cases)
        EXPECT_EQ(error.description(), expected);
    EXPECT_NE(Error::forbiddenPath("main.js"), Error::forbiddenPath("plugins"));
    EXPECT_NE(Error::forbiddenPath("x"), Error::missingRequiredPath("x"));
}

} // namespace
} // namespace quorin
