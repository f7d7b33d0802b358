#include "CorePrinters.h"
#include "core/AtomicFileDataPersistence.h"
#include "support/TemporaryDirectory.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace quorin {
namespace {

namespace fs = std::filesystem;

TEST(AtomicFileDataPersistence, ReplacesTheFileInPrivateFoldersAndTellsNoFileFromAFailure)
{
    testing::TemporaryDirectory directory;
    AtomicFileDataPersistence persistence(directory.pathOf("data/Quorin 4.2/prefs.json"));
    EXPECT_EQ(persistence.read().value(), std::nullopt);
    ASSERT_TRUE(persistence.write("new").hasValue());
    EXPECT_EQ(persistence.read().value(), "new");
    EXPECT_EQ(fs::status(persistence.filePath()).permissions(), fs::perms(0600));
    // No temporary file stays beside it.
    EXPECT_EQ(std::distance(fs::directory_iterator(directory.pathOf("data/Quorin 4.2")), {}), 1);
    for (const char* folder : { "data", "data/Quorin 4.2" })
        EXPECT_EQ(fs::status(directory.pathOf(folder)).permissions(), fs::perms(0700)) << folder;

    auto underFile = directory.write("file", "not a folder") + "/prefs.json";
    AtomicFileDataPersistence tooLarge(directory.write("large", std::string(AtomicFileDataPersistence::maximumFileSize + 1, 'x')));
    EXPECT_EQ(tooLarge.read().error().code, std::errc::file_too_large);
    EXPECT_EQ(AtomicFileDataPersistence(underFile).read().error().code, std::errc::not_a_directory);
    EXPECT_EQ(AtomicFileDataPersistence(underFile).write("new").error().code, std::errc::not_a_directory);
}

} // namespace
} // namespace quorin
