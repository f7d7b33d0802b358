#include "CorePrinters.h"
#include "core/AtomicFile.h"
#include "core/ReadableFile.h"
#include "support/TemporaryDirectory.h"
#include "support/UnprivilegedProcess.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <functional>
#include <iostream>
#include <sys/stat.h>

namespace quorin {
namespace {

namespace fs = std::filesystem;

// What a folder holds, each file with its content and mode; a sub-folder as "<folder>".
std::string listing(const std::string& folder)
{
    std::string text;
    for (const auto& entry : fs::directory_iterator(folder)) {
        struct stat status { };
        ::lstat(entry.path().c_str(), &status);
        auto content = entry.is_directory() ? "<folder>" : ReadableFile::readContents(entry.path()).value();
        text += entry.path().filename().string() + "=" + content + " " + std::to_string(status.st_mode & 07777) + ";";
    }
    return text;
}

// Each case prepares "folder" and replaces "folder/target" with "new"; run as an unprivileged
// user so that folder modes bind.
TEST(AtomicFile, ReplacesTheWholeFileOrNothing)
{
    struct Case {
        const char* name;
        std::function<void(testing::TemporaryDirectory&)> prepare;
        mode_t permissions;
        std::string error; // "" for success, else the failing path (relative) and its errno text
        std::string after; // listing of the folder afterwards
    } cases[] = {
        { "a new file", [](auto&) {}, 0644, "", "target=new 420;" },
        { "an old file", [](auto& d) { chmod(d.write("folder/target", "old").c_str(), 0644); }, 0600, "", "target=new 384;" },
        { "a folder in the way", [](auto& d) { chmod(d.makeDirectory("folder/target").c_str(), 0755); }, 0600, "folder/target: Is a directory", "target=<folder> 493;" },
        { "a folder that cannot be written", [](auto& d) { chmod(d.write("folder/target", "old").c_str(), 0644); chmod(d.pathOf("folder").c_str(), 0555); }, 0600,
            "folder: Permission denied", "target=old 420;" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        testing::TemporaryDirectory directory;
        ASSERT_EQ(chmod(directory.path().c_str(), 0755), 0);
        directory.makeDirectory("folder");
        chmod(directory.pathOf("folder").c_str(), 0777);
        c.prepare(directory);
        int result = testing::runUnprivileged([&] {
            auto replaced = replaceFileAtomically(directory.pathOf("folder/target"), "new", c.permissions);
            auto error = replaced.hasValue() ? "" : replaced.error().message().substr(directory.path().size() + 1);
            if (error != c.error)
                std::cerr << "error: " << error << '\n';
            return error == c.error ? 1 : 0;
        });
        EXPECT_EQ(result, 1);
        EXPECT_EQ(listing(directory.pathOf("folder")), c.after);
        chmod(directory.pathOf("folder").c_str(), 0755);
    }
}

} // namespace
} // namespace quorin
