#include "core/StorageLocation.h"
#include "support/TemporaryDirectory.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <map>

namespace quorin {
namespace {

namespace fs = std::filesystem;

TEST(StorageLocation, ResolvesTheRoot)
{
    const std::vector<std::string> home = { "/home/p/.local/share", "/usr/share" };
    auto testOverride = [](std::string directory, std::string flag = "1") {
        return std::map<std::string, std::string> { { "QUORIN_TESTING", flag }, { "QUORIN_TEST_APP_SUPPORT_DIRECTORY", directory } };
    };
    // name, environment, data directories, display name, root (nullopt: unavailable)
    const std::tuple<std::string, std::map<std::string, std::string>, std::vector<std::string>, std::string, std::optional<std::string>> cases[] = {
        { "first data directory plus the display name", {}, { "/data/one//./", "/data/two" }, "Quorin 4.2", "/data/one/Quorin 4.2" },
        { "test override, normalised, without the display name", testOverride("/tmp//a/./b/../c/"), home, "Q", "/tmp/a/c" },
        { "test override needs no data directory and ignores the display name", testOverride("/tmp/x"), {}, "..", "/tmp/x" },
        { "relative override falls through", testOverride("tmp/x"), home, "Q", "/home/p/.local/share/Q" },
        { "QUORIN_TESTING other than 1 falls through", testOverride("/tmp/x", "1 "), home, "Q", "/home/p/.local/share/Q" },
        { "no data directory", {}, {}, "Q", std::nullopt },
        { "relative first data directory", {}, { "relative/share", "/usr/share" }, "Q", std::nullopt },
        { "display name climbing out", {}, home, "..", std::nullopt },
        { "display name with a slash", {}, home, "Quorin/4.2", std::nullopt },
        { "display name with a NUL byte", {}, home, std::string("Quorin\0x", 8), std::nullopt },
    };
    for (const auto& [name, environment, dataDirectories, displayName, expectedRoot] : cases) {
        auto variable = [&](const std::string& key) { return environment.contains(key) ? std::optional(environment.at(key)) : std::nullopt; };
        auto root = StorageLocation::applicationStorageRoot(displayName, { variable, [&] { return dataDirectories; } });
        EXPECT_EQ(root ? std::optional(root.value()) : std::nullopt, expectedRoot) << name;
        EXPECT_TRUE(root || root.error() == LauncherStorageLocationError::unavailable()) << name;
    }
    EXPECT_EQ(StorageLocation::savedAccountsFilePath("/"), "/saved-accounts.json");
    EXPECT_EQ(StorageLocation::preferencesFilePath("/data/x/"), "/data/x/launcher-preferences.json");
}

// GLib reads XDG_DATA_HOME once, on first use; nothing in this suite asks it before.
TEST(StorageLocation, ReadsTheProcessEnvironmentAndCreatesNothing)
{
    testing::TemporaryDirectory directory;
    setenv("XDG_DATA_HOME", directory.pathOf("xdg").c_str(), 1);
    setenv("QUORIN_TESTING", "0", 1);
    setenv("QUORIN_TEST_APP_SUPPORT_DIRECTORY", directory.pathOf("override/").c_str(), 1);
    EXPECT_EQ(StorageLocation::applicationStorageRoot("Quorin 4.2").value(), directory.pathOf("xdg/Quorin 4.2"));
    setenv("QUORIN_TESTING", "1", 1);
    EXPECT_EQ(StorageLocation::applicationStorageRoot("Quorin 4.2").value(), directory.pathOf("override"));
    EXPECT_TRUE(fs::is_empty(directory.path()));
    for (const char* name : { "XDG_DATA_HOME", "QUORIN_TESTING", "QUORIN_TEST_APP_SUPPORT_DIRECTORY" })
        unsetenv(name);
}

} // namespace
} // namespace quorin
