#include "CorePrinters.h"
#include "core/AtomicFile.h"
#include "core/ReadableFile.h"
#include "support/TemporaryDirectory.h"
#include "support/UnprivilegedProcess.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <functional>
#include <sys/stat.h>

namespace quorin {
namespace {

namespace fs = std::filesystem;

// What a folder holds, each file with its content and mode; a sub-folder as "<folder>".
std::string listing(const std::string& folder)
{
    std::string text;
    for (const auto& entry : fs::directory_iterator(folder)) {
        auto content = entry.is_directory() ? "<folder>" : ReadableFile::readContents(entry.path()).value();
        text += entry.path().filename().string() + "=" + content + " " + std::to_string(static_cast<int>(fs::symlink_status(entry.path()).permissions())) + ";";
    }
    return text;
}

// Each case prepares "folder" and replaces "folder/target" with "new"; run as an unprivileged
// user so that folder modes bind.
TEST(AtomicFile, ReplacesTheWholeFileOrNothing)
{
    // name, preparation, mode, error ("" or the failing relative path and errno text), the folder afterwards
    const std::tuple<const char*, std::function<void(testing::TemporaryDirectory&)>, mode_t, std::string, std::string> cases[] = {
        { "a new file", [](auto&) {}, 0644, "", "target=new 420;" },
        { "an old file", [](auto& d) { chmod(d.write("folder/target", "old").c_str(), 0644); }, 0600, "", "target=new 384;" },
        { "a folder in the way", [](auto& d) { chmod(d.makeDirectory("folder/target").c_str(), 0755); }, 0600, "folder/target: Is a directory", "target=<folder> 493;" },
        { "a folder that cannot be written", [](auto& d) { chmod(d.write("folder/target", "old").c_str(), 0644); chmod(d.pathOf("folder").c_str(), 0555); }, 0600,
            "folder: Permission denied", "target=old 420;" },
    };
    for (const auto& [name, prepare, permissions, expectedError, after] : cases) {
        SCOPED_TRACE(name);
        testing::TemporaryDirectory directory;
        ASSERT_EQ(chmod(directory.path().c_str(), 0755), 0);
        directory.makeDirectory("folder");
        chmod(directory.pathOf("folder").c_str(), 0777);
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

} // namespace
} // namespace quorin
