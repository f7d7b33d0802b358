#include "core/ReadableFile.h"
#include "helper/UpdateHelper.h"
#include "updater/Base64.h"
#include "updater/SignedTestBundle.h"
#include "updater/UpdateBundleVerifier.h"
#include "updater/UpdateInstallJob.h"

#include <gtest/gtest.h>

#include <csignal>
#include <numeric>
#include <set>
#include <spawn.h>
#include <sstream>
#include <sys/wait.h>

namespace quorin {
namespace {

std::vector<char*> pointers(std::vector<std::string>& strings)
{
    std::vector<char*> list;
    for (auto& string : strings)
        list.push_back(string.data());
    list.push_back(nullptr);
    return list;
}

pid_t start(std::vector<std::string> arguments, std::vector<std::string> environment = {})
{
    pid_t pid = -1;
    ::posix_spawn(&pid, arguments[0].c_str(), nullptr, nullptr, pointers(arguments).data(), pointers(environment).data());
    return pid;
}

int exitStatus(pid_t pid)
{
    int status = 0;
    return ::waitpid(pid, &status, 0) == pid && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// The installed path is the self-update test's.
TEST(UpdateHelper, KeepsTheOldBundleWhenTheLauncherNeverQuitsTheNewVersionDiesOrTheJobFolderIsWidened)
{
    using namespace std::chrono_literals;
    struct Case { std::string name; int launcherLifetime; UpdateHelperSettings settings; bool widened; std::string result; };
    const Case cases[] = {
        { "launcher never quits", 3000, { {}, 300ms }, false, R"({"error":"UPDATE_QUIT_TIMEOUT","status":"failed","version":"1.5.0"})" },
        { "new version dies", 300, { {}, 30s, 2000ms }, false, R"({"error":"UPDATE_RELAUNCH_FAILED","status":"failed","version":"1.5.0"})" },
        { "job directory widened", 300, {}, true, "" },
    };
    auto launcher = ReadableFile::readContents(QUORIN_FAKE_LAUNCHER).releaseValue();
    for (auto [name, lifetime, settings, widened, result] : cases) {
        testing::TemporaryDirectory root;
        testing::TestSigningKeys keys;
        auto target = root.pathOf("Apps/Quorin 4.2.app"), directory = root.makeDirectory("job"), jobPath = directory + "/install-job.json";
        keys.makeBundle(target, "1.4.0", launcher);
        keys.makeBundle(directory + "/unpacked/Quorin 4.2.app", "1.5.0", launcher);
        std::filesystem::permissions(directory, widened ? std::filesystem::perms(0755) : std::filesystem::perms::owner_all);
        pid_t running = start({ target + "/Contents/MacOS/Quorin42Launcher", std::to_string(lifetime) });
        auto job = UpdateInstallJob::create(running, Url::fileURL(target), Url::fileURL(directory + "/unpacked/Quorin 4.2.app"), "1.4.0", "1.5.0");
        testing::TemporaryDirectory::writeFile(jobPath, job.encoded());
        settings.keys = keys.trusted();
        EXPECT_EQ(runUpdateHelper(jobPath, settings), 1) << name;
        auto written = ReadableFile::readContents(directory + "/result.json");
        EXPECT_EQ(written.hasValue() ? *written : "", result) << name;
        EXPECT_EQ(job.isReady(jobPath), !widened) << name;
        EXPECT_TRUE(UpdateBundleVerifier(keys.trusted()).verify(target, "1.4.0").hasValue()) << name;
        EXPECT_EQ(exitStatus(running), 0) << name;
    }
}

TEST(UpdateHelper, TheProgramRefusesAnyOtherCommandLineAndWritesNothing)
{
    testing::TemporaryDirectory directory;
    auto job = directory.write("install-job.json", "{}");
    for (auto arguments : std::vector<std::vector<std::string>> { {}, { "--job" }, { "--job", "install-job.json" }, { "--job", job, "x" }, { "--jobs", job } }) {
        arguments.insert(arguments.begin(), QUORIN_UPDATE_HELPER);
        EXPECT_EQ(exitStatus(start(arguments)), updateHelperUsageExitStatus) << arguments.size();
    }
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(directory.path()), {}), 1);
}

TEST(UpdateHelper, TheProgramPutsTheOldBundleBackAndStartsItWhenTheSwappedOneFailsAndRefusesALinkedJob)
{
    struct Case { std::string name; const char* newLauncher; std::vector<std::string> environment; bool linkedJob; std::string error, launched, apps; };
    const Case cases[] = {
        { "installed copy fails its check", QUORIN_STAND_IN_LAUNCHER, { "QUORIN_TEST_SWAP_FAULT=1" }, false, "UPDATE_SIGNATURE_INVALID", "1.4.0 ",
            "Quorin 4.2.app launches " },
        { "new version exits at once", "/bin/true", {}, false, "UPDATE_RELAUNCH_FAILED", "1.4.0 ", "Quorin 4.2.app launches " },
        { "job file is a link", QUORIN_STAND_IN_LAUNCHER, {}, true, "", "", "Quorin 4.2.app " },
    };
    auto seed = [](const std::string& role) { // the test helper's own key pair (TestUpdateKeys.cmake)
        auto line = ReadableFile::readContents(QUORIN_TEST_UPDATE_KEYS "/" + role + ".key").releaseValue();
        return base64::decoded(line.substr(0, line.size() - 1)).value();
    };
    testing::TestSigningKeys keys { seed("signing"), seed("notary") };
    auto oldLauncher = ReadableFile::readContents(QUORIN_STAND_IN_LAUNCHER).releaseValue();
    for (const auto& [name, newLauncher, environment, linkedJob, error, launched, apps] : cases) {
        testing::TemporaryDirectory root;
        auto target = root.pathOf("Apps/Quorin 4.2.app"), directory = root.makeDirectory("job"), jobPath = directory + "/install-job.json";
        keys.makeBundle(target, "1.4.0", oldLauncher);
        keys.makeBundle(directory + "/unpacked/Quorin 4.2.app", "1.5.0", ReadableFile::readContents(newLauncher).releaseValue());
        std::filesystem::permissions(directory, std::filesystem::perms::owner_all);
        pid_t gone = start({ QUORIN_FAKE_LAUNCHER, "0" });
        exitStatus(gone);
        auto job = UpdateInstallJob::create(gone, Url::fileURL(target), Url::fileURL(directory + "/unpacked/Quorin 4.2.app"), "1.4.0", "1.5.0");
        testing::TemporaryDirectory::writeFile(linkedJob ? directory + "/job.json" : jobPath, job.encoded());
        if (linkedJob)
            std::filesystem::create_symlink("job.json", jobPath);
        EXPECT_EQ(exitStatus(start({ QUORIN_TEST_UPDATE_HELPER, "--job", jobPath }, environment)), 1) << name;
        auto written = ReadableFile::readContents(directory + "/result.json");
        auto result = error.empty() ? "" : R"({"error":")" + error + R"(","status":"failed","version":"1.5.0"})";
        EXPECT_EQ(written.hasValue() ? *written : "", result) << name;
        EXPECT_EQ(job.isReady(jobPath), !linkedJob) << name;
        EXPECT_TRUE(UpdateBundleVerifier(keys.trusted()).verify(target, "1.4.0").hasValue()) << name;
        std::string versions, version;
        written = ReadableFile::readContents(root.pathOf("Apps/launches"));
        std::istringstream launches(written.hasValue() ? *written : "");
        for (pid_t pid = 0; launches >> version >> pid && pid > 0; ::kill(pid, SIGKILL)) // nothing started outlives the test
            versions += version + " ";
        EXPECT_EQ(versions, launched) << name;
        std::set<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(root.pathOf("Apps")))
            names.insert(entry.path().filename());
        EXPECT_EQ(std::accumulate(names.begin(), names.end(), std::string(), [](auto all, auto one) { return all + one + " "; }), apps) << name;
    }
}

} // namespace
} // namespace quorin
