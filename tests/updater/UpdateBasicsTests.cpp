#include "support/TemporaryDirectory.h"
#include "updater/SemanticUpdateVersion.h"
#include "updater/UpdateBundleLocation.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>

namespace quorin {
namespace {

TEST(LauncherUpdateError, CodesRoundTripOnlyWhenExact)
{
    for (int index = 0; index <= static_cast<int>(LauncherUpdateError::Case::Timeout); ++index) {
        LauncherUpdateError error { static_cast<LauncherUpdateError::Case>(index) };
        EXPECT_EQ(LauncherUpdateError::fromCode(error.code()), error) << error.code();
    }
    EXPECT_EQ(LauncherUpdateError::fromCode("update_feed_invalid"), std::nullopt);
}

TEST(SemanticUpdateVersion, ParsesOnlyTheExactFormAndComparesNumerically)
{
    for (auto text : { "1.02.0", "1.2", "1.2.3-beta", "v1.2.3", " 1.2.3", "1.2.3 ", "1.2.3.4", "1..3", "+1.2.3",
             "1.2.1000000", "1.2.99999999999999999999", "" })
        EXPECT_EQ(SemanticUpdateVersion::parse(text).error(), LauncherUpdateError::invalidFeed()) << text;
    auto version = [](const char* text) { return SemanticUpdateVersion::parse(text).value(); };
    EXPECT_EQ(version("999999.0.10"), (SemanticUpdateVersion { 999999, 0, 10 }));
    EXPECT_GT(version("1.2.10"), version("1.2.9"));
    EXPECT_LT(version("1.9.9"), version("2.0.0"));
}

TEST(UpdateBundleLocation, OnlyAPlainAbsoluteAppFolderOutsideTranslocation)
{
    testing::TemporaryDirectory directory;
    auto bundle = directory.makeDirectory("Quorin 4.2.app");
    directory.makeDirectory("folder.apps");
    std::filesystem::create_directory_symlink(bundle, directory.pathOf("link.app"));
    EXPECT_TRUE(validateUpdateBundleLocation(bundle).hasValue());
    EXPECT_TRUE(validateUpdateBundleLocation(bundle + "/").hasValue());
    for (auto relative : { "folder.apps", "link.app" }) // the verifier's test sees a translocated bundle refused
        EXPECT_EQ(validateUpdateBundleLocation(directory.pathOf(relative)).error(), UpdateFailure(LauncherUpdateError::location())) << relative;
    EXPECT_EQ(validateUpdateBundleLocation(std::filesystem::relative(bundle)).error(), UpdateFailure(LauncherUpdateError::location()));
    auto missing = directory.pathOf("missing.app");
    EXPECT_EQ(validateUpdateBundleLocation(missing).error(), UpdateFailure(FileSystemError::fromErrno(missing, ENOENT)));
}

} // namespace
} // namespace quorin
