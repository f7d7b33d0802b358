#include "core/StorageLocation.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <map>

namespace quorin {
namespace {

namespace fs = std::filesystem;

StorageLocation::Platform fakePlatform(std::map<std::string, std::string> environment, std::vector<std::string> dataDirectories)
{
    return {
        [environment](const std::string& name) -> std::optional<std::string> {
            auto found = environment.find(name);
            return found == environment.end() ? std::nullopt : std::optional<std::string>(found->second);
        },
        [dataDirectories] { return dataDirectories; },
    };
}

struct Case {
    std::string description;
    std::map<std::string, std::string> environment;
    std::vector<std::string> dataDirectories;
    std::string displayName;
    std::optional<std::string> expectedRoot; // nullopt: unavailable
};

TEST(StorageLocationTests, ResolvesTheRoot)
{
    const std::vector<std::string> home = { "/home/player/.local/share", "/usr/share" };
    const std::vector<Case> cases = {
        { "per-user folder named after the product", {}, home, "Quorin 4.2", "/home/player/.local/share/Quorin 4.2" },
        { "first data directory wins", {}, { "/data/one", "/data/two" }, "Q", "/data/one/Q" },
        { "data directory written untidily", {}, { "/home/player//.local/./share/" }, "Q", "/home/player/.local/share/Q" },
        { "test override, no display-name folder",
            { { "QUORIN_TESTING", "1" }, { "QUORIN_TEST_APP_SUPPORT_DIRECTORY", "/tmp/quorin-test" } }, home, "Quorin 4.2", "/tmp/quorin-test" },
        { "test override normalised",
            { { "QUORIN_TESTING", "1" }, { "QUORIN_TEST_APP_SUPPORT_DIRECTORY", "/tmp//a/./b/../c/" } }, home, "Q", "/tmp/a/c" },
        { "test override may be the file-system root",
            { { "QUORIN_TESTING", "1" }, { "QUORIN_TEST_APP_SUPPORT_DIRECTORY", "/" } }, home, "Q", "/" },
        { "test override needs no data directory",
            { { "QUORIN_TESTING", "1" }, { "QUORIN_TEST_APP_SUPPORT_DIRECTORY", "/tmp/x" } }, {}, "Q", "/tmp/x" },
        { "test override ignores an unsafe display name",
            { { "QUORIN_TESTING", "1" }, { "QUORIN_TEST_APP_SUPPORT_DIRECTORY", "/tmp/x" } }, home, "..", "/tmp/x" },
        { "relative override falls through",
            { { "QUORIN_TESTING", "1" }, { "QUORIN_TEST_APP_SUPPORT_DIRECTORY", "tmp/quorin-test" } }, home, "Q", "/home/player/.local/share/Q" },
        { "empty override falls through",
            { { "QUORIN_TESTING", "1" }, { "QUORIN_TEST_APP_SUPPORT_DIRECTORY", "" } }, home, "Q", "/home/player/.local/share/Q" },
        { "override without QUORIN_TESTING falls through",
            { { "QUORIN_TEST_APP_SUPPORT_DIRECTORY", "/tmp/quorin-test" } }, home, "Q", "/home/player/.local/share/Q" },
        { "QUORIN_TESTING=01 falls through",
            { { "QUORIN_TESTING", "01" }, { "QUORIN_TEST_APP_SUPPORT_DIRECTORY", "/tmp/quorin-test" } }, home, "Q", "/home/player/.local/share/Q" },
        { "QUORIN_TESTING with a space falls through",
            { { "QUORIN_TESTING", "1 " }, { "QUORIN_TEST_APP_SUPPORT_DIRECTORY", "/tmp/quorin-test" } }, home, "Q", "/home/player/.local/share/Q" },
        { "QUORIN_TESTING empty falls through",
            { { "QUORIN_TESTING", "" }, { "QUORIN_TEST_APP_SUPPORT_DIRECTORY", "/tmp/quorin-test" } }, home, "Q", "/home/player/.local/share/Q" },
        { "QUORIN_TESTING without the override falls through", { { "QUORIN_TESTING", "1" } }, home, "Q", "/home/player/.local/share/Q" },
        { "no data directory", {}, {}, "Quorin 4.2", std::nullopt },
        { "no data directory and a relative override", { { "QUORIN_TESTING", "1" }, { "QUORIN_TEST_APP_SUPPORT_DIRECTORY", "rel" } }, {}, "Q", std::nullopt },
        { "relative first data directory", {}, { "relative/share", "/usr/share" }, "Q", std::nullopt },
        { "display name climbing out", {}, home, "..", std::nullopt },
        { "display name of the folder itself", {}, home, ".", std::nullopt },
        { "display name with a slash", {}, home, "Quorin/4.2", std::nullopt },
        { "display name with a NUL byte", {}, home, std::string("Quorin\0x", 8), std::nullopt },
        { "display name with dots inside", {}, home, "Quorin..4.2", "/home/player/.local/share/Quorin..4.2" },
    };
    for (const auto& c : cases) {
        auto root = StorageLocation::applicationStorageRoot(c.displayName, fakePlatform(c.environment, c.dataDirectories));
        if (c.expectedRoot) {
            ASSERT_TRUE(root.hasValue()) << c.description;
            EXPECT_EQ(root.value(), *c.expectedRoot) << c.description;
        } else {
            ASSERT_TRUE(root.isError()) << c.description << ": got " << root.value();
            EXPECT_EQ(root.error(), LauncherStorageLocationError::unavailable()) << c.description;
        }
    }
}

TEST(StorageLocationTests, FilesInsideTheRoot)
{
    EXPECT_EQ(StorageLocation::preferencesFilePath("/data/Quorin 4.2"), "/data/Quorin 4.2/launcher-preferences.json");
    EXPECT_EQ(StorageLocation::savedAccountsFilePath("/data/Quorin 4.2"), "/data/Quorin 4.2/saved-accounts.json");
    EXPECT_EQ(StorageLocation::preferencesFilePath("/data/x/"), "/data/x/launcher-preferences.json");
    EXPECT_EQ(StorageLocation::savedAccountsFilePath("/"), "/saved-accounts.json");
}

class ProcessStorageLocationTests : public ::testing::Test {
protected:
    void SetUp() override
    {
        auto pattern = (fs::temp_directory_path() / "quorin-storage-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        m_directory = pattern;
        saveVariable("QUORIN_TESTING");
        saveVariable("QUORIN_TEST_APP_SUPPORT_DIRECTORY");
        saveVariable("XDG_DATA_HOME");
    }
    void TearDown() override
    {
        for (const auto& [name, value] : m_savedVariables) {
            if (value)
                setenv(name.c_str(), value->c_str(), 1);
            else
                unsetenv(name.c_str());
        }
        fs::remove_all(m_directory);
    }
    void saveVariable(const std::string& name)
    {
        const char* value = std::getenv(name.c_str());
        m_savedVariables.emplace_back(name, value ? std::optional<std::string>(value) : std::nullopt);
    }

    fs::path m_directory;
    std::vector<std::pair<std::string, std::optional<std::string>>> m_savedVariables;
};

TEST_F(ProcessStorageLocationTests, ReadsTheRealEnvironmentAndCreatesNothing)
{
    auto overridePath = m_directory / "support" / "nested";
    setenv("QUORIN_TESTING", "1", 1);
    setenv("QUORIN_TEST_APP_SUPPORT_DIRECTORY", (overridePath.string() + "/").c_str(), 1);

    auto root = StorageLocation::applicationStorageRoot("Quorin 4.2");
    ASSERT_TRUE(root.hasValue());
    EXPECT_EQ(root.value(), overridePath.string());
    EXPECT_FALSE(fs::exists(m_directory / "support"));
    EXPECT_TRUE(fs::is_empty(m_directory));
}

// GLib reads XDG_DATA_HOME once per process, on first use; nothing in this suite asks
// the platform before this test does.
TEST_F(ProcessStorageLocationTests, FallsBackToTheXDGDataHome)
{
    auto dataHome = m_directory / "xdg-data";
    setenv("XDG_DATA_HOME", dataHome.c_str(), 1);
    setenv("QUORIN_TESTING", "0", 1);
    setenv("QUORIN_TEST_APP_SUPPORT_DIRECTORY", m_directory.c_str(), 1);

    auto root = StorageLocation::applicationStorageRoot("Quorin 4.2");
    ASSERT_TRUE(root.hasValue());
    EXPECT_EQ(root.value(), (dataHome / "Quorin 4.2").string());
    EXPECT_TRUE(fs::is_empty(m_directory));
}

} // namespace
} // namespace quorin
