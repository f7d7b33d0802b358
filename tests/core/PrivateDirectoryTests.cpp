#include "core/PrivateDirectory.h"
#include "support/TemporaryDirectory.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

namespace quorin {
namespace {

mode_t permissionsOf(const std::string& path)
{
    struct stat status {};
    EXPECT_EQ(::stat(path.c_str(), &status), 0) << path;
    return status.st_mode & 07777;
}

TEST(PrivateDirectory, CreatesMissingFoldersForTheUserAlone)
{
    testing::TemporaryDirectory folder;
    auto nested = folder.pathOf("data/Quorin 4.2/WebKit/Data");
    ASSERT_TRUE(ensurePrivateDirectory(nested).hasValue());
    EXPECT_EQ(permissionsOf(nested), 0700u);
    EXPECT_EQ(permissionsOf(folder.pathOf("data")), 0700u);

    // A folder that exists keeps its permissions.
    auto shared = folder.makeDirectory("shared");
    ::chmod(shared.c_str(), 0755);
    ASSERT_TRUE(ensurePrivateDirectory(shared).hasValue());
    EXPECT_EQ(permissionsOf(shared), 0755u);
}

TEST(PrivateDirectory, RefusesARegularFileOnThePath)
{
    testing::TemporaryDirectory folder;
    auto file = folder.write("Quorin 4.2", "not a folder");
    for (const auto& path : { file, file + "/WebKit/Data" }) {
        auto result = ensurePrivateDirectory(path);
        ASSERT_TRUE(result.isError()) << path;
        EXPECT_EQ(result.error().code, std::errc::not_a_directory) << path;
    }
}

} // namespace
} // namespace quorin
