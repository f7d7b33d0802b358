#include "core/ReadableFile.h"
#include "helper/RunningApplication.h"
#include "support/LocalHTTPSServer.h"
#include "updater/UpdateBundleVerifier.h"
#include "updater/UpdateInstallJob.h"

#include <gtest/gtest.h>

#include <csignal>
#include <regex>
#include <set>
#include <spawn.h>
#include <sstream>
#include <sys/wait.h>
#include <thread>

extern char** environ;

namespace quorin {
namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;

std::string contents(const std::string& path)
{
    auto text = ReadableFile::readContents(path);
    return text.hasValue() ? *text : "";
}

// Turns the main loop, on which the server answers, until `condition` holds or `timeout` passes.
bool runUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout)
{
    for (auto deadline = std::chrono::steady_clock::now() + timeout; !condition() && std::chrono::steady_clock::now() < deadline;)
        if (!g_main_context_iteration(nullptr, FALSE))
            std::this_thread::sleep_for(5ms);
    return condition();
}

TEST(SelfUpdate, TheOlderBundleFetchesStagesAndHandsOverTheNewerOneWhichTheHelperSwapsInAndStarts)
{
    testing::LocalHTTPSServer server;
    testing::TemporaryDirectory root;
    std::string command = "bash";
    for (const auto& argument : std::vector<std::string> { QUORIN_MAKE_RELEASES, QUORIN_RELEASE_TOOL, QUORIN_BUILT_BUNDLE, QUORIN_STAND_IN_LAUNCHER,
             QUORIN_TEST_UPDATE_HELPER, QUORIN_TEST_UPDATE_KEYS, root.path(), server.url("/release") })
        command += " '" + argument + "'";
    ASSERT_EQ(std::system(command.c_str()), 0);
    for (const auto& entry : fs::directory_iterator(root.pathOf("release")))
        if (entry.is_regular_file())
            server.files["/release/" + entry.path().filename().string()] = contents(entry.path());
    auto apps = root.pathOf("Apps"), target = apps + "/Quorin 4.2.app", storage = root.makeDirectory("storage");
    fs::permissions(storage, fs::perms::owner_all);

    std::string executable = target + "/Contents/MacOS/Quorin42Launcher", certificate = server.certificatePath(), feed = server.url("/release/feed.yml");
    std::string statesPath = root.pathOf("states");
    char* argv[] = { executable.data(), storage.data(), certificate.data(), feed.data(), statesPath.data(), nullptr };
    pid_t launcher = -1;
    ASSERT_EQ(::posix_spawn(&launcher, argv[0], nullptr, nullptr, argv, environ), 0);
    int status = -1;
    if (!runUntil([&] { return ::waitpid(launcher, &status, WNOHANG) == launcher; }, 120s))
        ::kill(launcher, SIGKILL), ::waitpid(launcher, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the launcher quits when told to";
    std::istringstream states(contents(statesPath));
    std::string words, line, last;
    while (std::getline(states, line))
        if (line != std::exchange(last, line)) // progress repeats its status
            words += (words.empty() ? "" : " ") + line;
    EXPECT_EQ(words, "checking available downloading downloaded installing");

    std::string jobPath;
    for (const auto& entry : fs::recursive_directory_iterator(storage))
        jobPath = entry.path().filename() == "install-job.json" ? entry.path().string() : jobPath;
    auto job = UpdateInstallJob::read(jobPath);
    ASSERT_TRUE(job.hasValue());
    EXPECT_EQ(job->parentPID, launcher);
    EXPECT_TRUE(job->isReady(jobPath));
    // The helper leaves its result once the new version has been up for a second.
    auto resultPath = fs::path(jobPath).replace_filename("result.json").string();
    EXPECT_TRUE(runUntil([&] { return fs::exists(resultPath); }, 60s));
    EXPECT_EQ(contents(resultPath), R"({"status":"installed-and-launched","version":"2.0.0"})");

    // Every start from the apps folder, each ended after the check so nothing outlives the test.
    std::istringstream launches(contents(apps + "/launches"));
    std::string versions, version;
    std::vector<pid_t> started;
    for (pid_t pid = 0; launches >> version >> pid && pid > 0; started.push_back(pid))
        versions += version + " ";
    EXPECT_EQ(versions, "2.0.0 ");
    std::this_thread::sleep_for(1500ms);
    auto running = started.empty() ? std::nullopt : RunningApplication::find(started[0]);
    EXPECT_TRUE(running && running->bundlePath == target) << "the new version stays up";
    for (pid_t pid : started)
        ::kill(pid, SIGKILL);

    UpdateBundleVerifier verifier(UpdateTrustedKeys::production());
    EXPECT_TRUE(verifier.verify(target, "2.0.0").hasValue());
    std::set<std::string> names; // the swap's UUID written as U
    for (const auto& entry : fs::directory_iterator(apps)) {
        auto name = names.insert(std::regex_replace(entry.path().filename().string(), std::regex("-[0-9A-F-]{36}\\."), "-U.")).first;
        EXPECT_TRUE(*name != ".quorin-update-backup-U.app" || verifier.verify(entry.path(), "1.0.0").hasValue());
    }
    std::string all;
    for (const auto& name : names)
        all += name + " ";
    EXPECT_EQ(all, ".quorin-update-backup-U.app Quorin 4.2.app launches ");
}

} // namespace
} // namespace quorin
