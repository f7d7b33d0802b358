#include "core/PrivateDirectory.h"
#include "support/TemporaryDirectory.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

namespace quorin {
namespace {

// Creating missing folders 0700 and refusing a file in the way show through
// AtomicFileDataPersistence's test; here the folder that exists and the path through a file.
TEST(PrivateDirectory, KeepsAnExistingFolderAndRefusesAPathThroughAFile)
{
    testing::TemporaryDirectory folder;
    auto shared = folder.makeDirectory("shared");
    ::chmod(shared.c_str(), 0755);
    ASSERT_TRUE(ensurePrivateDirectory(shared).hasValue());
    struct stat status {};
    ASSERT_EQ(::stat(shared.c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 07777, 0755u);
    auto underFile = folder.write("Quorin 4.2", "not a folder") + "/WebKit/Data";
    EXPECT_EQ(ensurePrivateDirectory(underFile).error().code, std::errc::not_a_directory);
}

} // namespace
} // namespace quorin
