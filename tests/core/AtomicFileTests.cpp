#include "core/AtomicFile.h"
#include "core/AtomicFileDataPersistence.h"
#include "core/ReadableFile.h"
#include "support/TemporaryDirectory.h"
#include "support/UnprivilegedProcess.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <sys/stat.h>

namespace quorin {
namespace {

// What a folder holds (temporary files too), each file with its content and mode; a sub-folder as "<folder>".
std::string listing(const std::string& folder)
{
    std::string text;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        auto content = entry.is_directory() ? "<folder>" : ReadableFile::readContents(entry.path()).value();
        text += entry.path().filename().string() + "=" + content + " " + std::to_string(static_cast<int>(std::filesystem::symlink_status(entry.path()).permissions())) + ";";
    }
    return text;
}

// Each case prepares "folder" and replaces "folder/target" with "new"; run as an unprivileged
// user so that folder modes bind.
TEST(AtomicFile, ReplacesTheWholeFileOrNothing)
{
    // name, preparation, mode, error ("" or the failing relative path and errno text), the folder afterwards
    const std::tuple<const char*, std::function<void(testing::TemporaryDirectory&)>, mode_t, std::string, std::string> cases[] = {
        { "an old file, in the mode asked for", [](auto& d) { chmod(d.write("folder/target", "old").c_str(), 0600); }, 0644, "", "target=new 420;" },
        { "a folder in the way", [](auto& d) { chmod(d.makeDirectory("folder/target").c_str(), 0755); }, 0600, "folder/target: Is a directory", "target=<folder> 493;" },
        { "a folder that cannot be written", [](auto& d) { chmod(d.write("folder/target", "old").c_str(), 0644); chmod(d.pathOf("folder").c_str(), 0555); }, 0600, "folder: Permission denied", "target=old 420;" },
    };
    for (const auto& [name, prepare, permissions, expectedError, after] : cases) {
        SCOPED_TRACE(name);
        testing::TemporaryDirectory directory;
        ASSERT_EQ(chmod(directory.path().c_str(), 0755), 0);
        chmod(directory.makeDirectory("folder").c_str(), 0777);
        prepare(directory);
        int result = testing::runUnprivileged([&] {
            auto replaced = replaceFileAtomically(directory.pathOf("folder/target"), "new", permissions);
            return (replaced.hasValue() ? "" : replaced.error().message().substr(directory.path().size() + 1)) == expectedError ? 1 : 0;
        });
        EXPECT_EQ(result, 1) << "expected error: " << expectedError;
        EXPECT_EQ(listing(directory.pathOf("folder")), after);
        chmod(directory.pathOf("folder").c_str(), 0755);
    }
}

TEST(AtomicFileDataPersistence, WritesPrivatelyAndTellsNoFileFromAFailure)
{
    testing::TemporaryDirectory directory;
    AtomicFileDataPersistence persistence(directory.pathOf("data/Quorin 4.2/prefs.json"));
    EXPECT_EQ(persistence.read().value(), std::nullopt);
    ASSERT_TRUE(persistence.write("new").hasValue());
    EXPECT_EQ(persistence.read().value(), "new");
    EXPECT_EQ(listing(directory.path()) + listing(directory.pathOf("data")) + listing(directory.pathOf("data/Quorin 4.2")), "data=<folder> 448;Quorin 4.2=<folder> 448;prefs.json=new 384;");
    auto underFile = directory.write("file", "not a folder") + "/prefs.json";
    EXPECT_EQ(AtomicFileDataPersistence(directory.write("large", std::string(AtomicFileDataPersistence::maximumFileSize + 1, 'x'))).read().error().code, std::errc::file_too_large);
    EXPECT_EQ(AtomicFileDataPersistence(underFile).write("new").error().code, std::errc::not_a_directory);
}

} // namespace
} // namespace quorin
