#include "core/PrivateDirectory.h"
#include "support/TemporaryDirectory.h"

#include <gtest/gtest.h>
#include <filesystem>

namespace quorin {
namespace {

// Creating missing folders 0700 and refusing a file in the way show through
// AtomicFileDataPersistence's test; here the folder that exists and the path through a file.
TEST(PrivateDirectory, KeepsAnExistingFolderAndRefusesAPathThroughAFile)
{
    testing::TemporaryDirectory folder;
    auto shared = folder.makeDirectory("shared");
    std::filesystem::permissions(shared, std::filesystem::perms(0755));
    ASSERT_TRUE(ensurePrivateDirectory(shared).hasValue());
    EXPECT_EQ(std::filesystem::status(shared).permissions(), std::filesystem::perms(0755));
    auto underFile = folder.write("Quorin 4.2", "not a folder") + "/WebKit/Data";
    EXPECT_EQ(ensurePrivateDirectory(underFile).error().code, std::errc::not_a_directory);
}

} // namespace
} // namespace quorin
