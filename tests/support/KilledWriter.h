#pragma once

// A second process rewrites one file in a loop, alternating between two contents, and is
// killed at a random moment, 200 times; while it runs and after it died, the file must hold
// one of the two contents whole. For the stores that replace their file atomically.

#include "core/AtomicFileDataPersistence.h"
#include "core/ReadableFile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <functional>
#include <random>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace quorin::testing {

// Called in the writer process: opens the store over the file and returns a function that
// writes contents[second] through it, false when it fails.
using OpenWriter = std::function<std::function<bool(bool second)>()>;

inline void expectFileWholeWhileItsWriterIsKilled(const std::string& path, const std::string (&contents)[2], const OpenWriter& openWriter)
{
    auto startWriter = [&](bool loops) {
        pid_t writer = fork();
        if (writer == 0) {
            auto write = openWriter();
            bool written = write(true);
            for (bool second = false; written && loops; second = !second)
                written = write(second);
            _exit(written ? 0 : 1);
        }
        return writer;
    };
    // Kills land anywhere in a writer's first two writes, however long this machine (a loaded
    // one, a sanitizer build) takes to start a writer and have it write once.
    std::chrono::nanoseconds::rep longestWrite = 0;
    int status = 0;
    for (int write = 0; write < 3; ++write) {
        auto start = std::chrono::steady_clock::now();
        pid_t writer = startWriter(false);
        ASSERT_TRUE(writer > 0 && ::waitpid(writer, &status, 0) == writer && WIFEXITED(status) && WEXITSTATUS(status) == 0);
        longestWrite = std::max(longestWrite, (std::chrono::steady_clock::now() - start).count());
    }
    ASSERT_TRUE(AtomicFileDataPersistence(path).write(contents[0]));
    std::uniform_int_distribution<std::chrono::nanoseconds::rep> moment(0, 2 * longestWrite);
    auto isWhole = [&](const auto& bytes) { return bytes && (*bytes == contents[0] || *bytes == contents[1]); };
    std::mt19937 random(std::random_device {}());
    int seen[2] = {};
    for (int round = 0; round < 200; ++round) {
        pid_t writer = startWriter(true);
        ASSERT_GT(writer, 0);
        bool whole = true;
        for (auto killAt = std::chrono::steady_clock::now() + std::chrono::nanoseconds(moment(random)); whole && std::chrono::steady_clock::now() < killAt;)
            whole = isWhole(ReadableFile::readContents(path));
        ::kill(writer, SIGKILL);
        ASSERT_TRUE(::waitpid(writer, &status, 0) == writer && WIFSIGNALED(status));
        auto bytes = ReadableFile::readContents(path);
        ASSERT_TRUE(whole && isWhole(bytes)) << "round " << round;
        ++seen[*bytes == contents[1]];
    }
    // The writer got through whole writes between the kills; the next write clears what killed ones left.
    EXPECT_TRUE(seen[0] > 0 && seen[1] > 0) << seen[0] << " " << seen[1];
    ASSERT_TRUE(AtomicFileDataPersistence(path).write(contents[0]));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(std::filesystem::path(path).parent_path()), {}), 1);
}

} // namespace quorin::testing
