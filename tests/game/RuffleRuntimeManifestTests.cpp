#include "game/RuffleRuntimeManifest.h"
#include "game/RuffleRuntimePreload.h"

#include "RuntimeFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

namespace quorin {
namespace {

using testing::errorOf;
using testing::RuntimeFolder;

TEST(RuffleRuntimeManifest, RefusesManifestsAndFilesThatAreNotTheListedOnes)
{
    struct Case { const char* name; std::function<void(RuntimeFolder&)> change; std::string manifestSuffix; };
    const Case cases[] = {
        { "nine entries", [](RuntimeFolder& folder) { folder.manifest["files"].push_back(folder.manifest["files"][0]); }, "" },
        { "slash in a name", [](RuntimeFolder& folder) { folder.manifest["files"][0]["path"] = "sub/core0.js"; }, "" },
        { "duplicate name", [](RuntimeFolder& folder) { folder.manifest["files"][1]["path"] = "core0.js"; }, "" },
        { "non-string value", [](RuntimeFolder& folder) { folder.manifest["files"][0]["size"] = 7; }, "" },
        { "other package", [](RuntimeFolder& folder) { folder.manifest["package"] = "@ruffle-rs/ruffle@0.5.0"; }, "" },
        { "upper-case digest", [](RuntimeFolder& folder) { for (auto& c : folder.manifest["files"][0]["sha256"].get_ref<std::string&>()) c = static_cast<char>(std::toupper(c)); }, "" },
        { "altered package file", [](RuntimeFolder& folder) { folder.directory.write("ruffle/core3.js", "file 4"); }, "" },
        { "manifest one byte off the pinned one", [](RuntimeFolder&) {}, " " },
        { "root is a link", [](RuntimeFolder& folder) { auto real = folder.directory.path() + "-real"; std::filesystem::rename(folder.directory.path(), real); std::filesystem::create_directory_symlink(real, folder.directory.path()); }, "" },
    };
    for (const auto& row : cases) {
        RuntimeFolder folder;
        row.change(folder);
        EXPECT_EQ(errorOf(folder.load(row.manifestSuffix)), RuffleRuntimeError(LauncherGameError::runtimeInvalid())) << row.name;
        std::filesystem::remove_all(folder.directory.path() + "-real");
    }
}

TEST(RuffleRuntimeManifest, ServesListedFilesAndRechecksThemOnEveryRead)
{
    RuntimeFolder folder;
    auto manifest = folder.load();
    ASSERT_TRUE(manifest.hasValue());
    EXPECT_EQ(manifest->paths().size(), 10u);
    EXPECT_EQ(manifest->read("ruffle/core2.js")->bytes(), "file 2");
    EXPECT_EQ(manifest->read("host/ruffle-host.js")->bytes(), "start();");
    for (auto path : { "ruffle-manifest.json", "host/other.html", "ruffle/../host/index.html" })
        EXPECT_EQ(errorOf(manifest->read(path)), RuffleRuntimeError(LauncherGameError::resourceDenied())) << path;

    folder.directory.write("ruffle/core2.js", "file 3");
    EXPECT_EQ(errorOf(manifest->read("ruffle/core2.js")), RuffleRuntimeError(LauncherGameError::runtimeInvalid()));
    std::filesystem::remove(folder.directory.pathOf("ruffle/core5.js"));
    EXPECT_TRUE(std::holds_alternative<FileSystemError>(errorOf(manifest->read("ruffle/core5.js"))));

    // A link to an identical folder is refused on every read, here and at load.
    std::filesystem::copy(folder.directory.pathOf("ruffle"), folder.directory.pathOf("copy"));
    std::filesystem::remove_all(folder.directory.pathOf("ruffle"));
    std::filesystem::create_directory_symlink("copy", folder.directory.pathOf("ruffle"));
    EXPECT_EQ(errorOf(manifest->read("ruffle/core1.js")), RuffleRuntimeError(LauncherGameError::resourceDenied()));
    EXPECT_EQ(errorOf(folder.load()), RuffleRuntimeError(LauncherGameError::resourceDenied()));
}

TEST(RuffleRuntimeManifest, ServesFilesUpTo32MiB)
{
    RuntimeFolder folder;
    std::string bytes(RuffleRuntimeManifest::maximumFileSize, 'x');
    folder.directory.write("host/index.html", bytes);
    auto manifest = folder.load();
    ASSERT_TRUE(manifest.hasValue());
    EXPECT_EQ(manifest->read("host/index.html")->bytes().size(), bytes.size());
    folder.directory.write("host/index.html", bytes + "x");
    EXPECT_EQ(errorOf(manifest->read("host/index.html")), RuffleRuntimeError(LauncherGameError::runtimeInvalid()));
}

TEST(RuffleRuntimeManifest, SafePathsAndMimeTypes)
{
    for (auto path : { "/ruffle/a.js", "ruffle/a%2e.js", "ruffle//a.js", "ruffle/../a.js" })
        EXPECT_FALSE(RuffleRuntimeManifest::isSafePath(path)) << path;
    EXPECT_TRUE(RuffleRuntimeManifest::isSafePath("ruffle/A-z_0.9.js"));
    for (auto [path, type] : { std::pair { "a.json", "application/json" }, { "a.js.map", "text/plain" } })
        EXPECT_EQ(RuffleRuntimeManifest::mimeType(path), type) << path;
}

TEST(RuffleRuntimeManifest, ShippedRuntimeMatchesTheCompiledInDigestAndNeedsItsResourceFolder)
{
    EXPECT_TRUE(RuffleRuntimeManifest::packaged(QUORIN_BUNDLE_DIR "/Contents/Resources").hasValue());
    EXPECT_EQ(errorOf(RuffleRuntimeManifest::packaged(std::nullopt)), RuffleRuntimeError(LauncherGameError::runtimeInvalid()));
    // Verified ahead for the first start, and once more for a retried one.
    RuffleRuntimePreload preload(QUORIN_BUNDLE_DIR "/Contents/Resources");
    EXPECT_TRUE(preload.take().hasValue());
    EXPECT_TRUE(preload.take().hasValue());
}

} // namespace
} // namespace quorin
