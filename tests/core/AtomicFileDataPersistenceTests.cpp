#include "CorePrinters.h"
#include "core/AtomicFileDataPersistence.h"
#include "support/TemporaryDirectory.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>

namespace quorin {
namespace {

namespace fs = std::filesystem;

mode_t permissionsOf(const std::string& path)
{
    struct stat status {};
    EXPECT_EQ(::stat(path.c_str(), &status), 0) << path;
    return status.st_mode & 07777;
}

// The names in a folder, so a temporary file left behind shows.
std::string names(const std::string& folder)
{
    std::string text;
    for (const auto& entry : fs::directory_iterator(folder))
        text += entry.path().filename().string() + ";";
    return text;
}

TEST(AtomicFileDataPersistence, WritesInPrivateFoldersAndReadsBack)
{
    testing::TemporaryDirectory directory;
    AtomicFileDataPersistence fresh(directory.pathOf("data/Quorin 4.2/prefs.json"));
    ASSERT_TRUE(fresh.write("first").hasValue());
    EXPECT_EQ(permissionsOf(directory.pathOf("data")), 0700u);
    EXPECT_EQ(permissionsOf(directory.pathOf("data/Quorin 4.2")), 0700u);

    // A file that was readable by others is replaced by one that is not.
    auto shared = directory.write("shared/prefs.json", "old");
    ::chmod(shared.c_str(), 0644);
    AtomicFileDataPersistence existing(shared);
    ASSERT_TRUE(existing.write("second").hasValue());

    for (const auto& [persistence, content] : { std::pair { &fresh, "first" }, { &existing, "second" } }) {
        EXPECT_EQ(permissionsOf(persistence->filePath()), 0600u);
        EXPECT_EQ(persistence->read().value(), content);
        EXPECT_EQ(names(fs::path(persistence->filePath()).parent_path()), "prefs.json;");
    }
}

TEST(AtomicFileDataPersistence, TellsAMissingFileFromAFailure)
{
    testing::TemporaryDirectory directory;
    auto regularFile = directory.write("file", "not a folder");
    auto atLimit = directory.write("limit", std::string(AtomicFileDataPersistence::maximumFileSize, 'x'));
    auto pastLimit = directory.write("past", std::string(AtomicFileDataPersistence::maximumFileSize + 1, 'x'));

    // path, its read (nullopt: no file; else the byte count), or its error
    const std::tuple<std::string, std::optional<std::size_t>, std::errc> cases[] = {
        { directory.pathOf("missing/prefs.json"), std::nullopt, {} },
        { atLimit, AtomicFileDataPersistence::maximumFileSize, {} },
        { pastLimit, std::nullopt, std::errc::file_too_large },
        { regularFile + "/prefs.json", std::nullopt, std::errc::not_a_directory },
    };
    for (const auto& [path, size, error] : cases) {
        SCOPED_TRACE(path);
        auto read = AtomicFileDataPersistence(path).read();
        if (error != std::errc {}) {
            ASSERT_TRUE(read.isError());
            EXPECT_EQ(read.error().code, error);
            continue;
        }
        ASSERT_TRUE(read.hasValue()) << read.error().message();
        EXPECT_EQ(read->has_value() ? std::optional(read.value()->size()) : std::nullopt, size);
    }

    // A folder cannot be made under a regular file.
    auto write = AtomicFileDataPersistence(regularFile + "/sub/prefs.json").write("bytes");
    ASSERT_TRUE(write.isError());
    EXPECT_EQ(write.error().code, std::errc::not_a_directory);
}

} // namespace
} // namespace quorin
