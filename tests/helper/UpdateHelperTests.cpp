#include "core/ReadableFile.h"
#include "helper/UpdateHelper.h"
#include "updater/SignedTestBundle.h"
#include "updater/UpdateBundleVerifier.h"
#include "updater/UpdateInstallJob.h"

#include <gtest/gtest.h>

#include <spawn.h>
#include <sys/wait.h>

namespace quorin {
namespace {

pid_t start(std::vector<std::string> arguments)
{
    std::vector<char*> argv;
    for (auto& argument : arguments)
        argv.push_back(argument.data());
    argv.push_back(nullptr);
    char* noEnvironment[] = { nullptr };
    pid_t pid = -1;
    ::posix_spawn(&pid, argv[0], nullptr, nullptr, argv.data(), noEnvironment);
    return pid;
}

int exitStatus(pid_t pid)
{
    int status = 0;
    return ::waitpid(pid, &status, 0) == pid && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(UpdateHelper, InstallsFromARealJobOnceTheLauncherQuitsAndRollsBackOrRefusesOtherwise)
{
    using namespace std::chrono_literals;
    struct Case { std::string name; int launcherLifetime; UpdateHelperSettings settings; bool widened; int exit; std::string result; std::string version; };
    const Case cases[] = {
        { "installed", 300, {}, false, 0, R"({"status":"installed-and-launched","version":"1.5.0"})", "1.5.0" },
        { "launcher never quits", 3000, { {}, 300ms }, false, 1, R"({"error":"UPDATE_QUIT_TIMEOUT","status":"failed","version":"1.5.0"})", "1.4.0" },
        { "new version dies", 300, { {}, 30s, 2000ms }, false, 1, R"({"error":"UPDATE_RELAUNCH_FAILED","status":"failed","version":"1.5.0"})", "1.4.0" },
        { "job directory widened", 300, {}, true, 1, "", "1.4.0" },
    };
    auto launcher = ReadableFile::readContents(QUORIN_FAKE_LAUNCHER).releaseValue();
    for (auto [name, lifetime, settings, widened, exit, result, version] : cases) {
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
        EXPECT_EQ(runUpdateHelper(jobPath, settings), exit) << name;
        auto written = ReadableFile::readContents(directory + "/result.json");
        EXPECT_EQ(written.hasValue() ? *written : "", result) << name;
        EXPECT_EQ(job.isReady(jobPath), !widened) << name;
        EXPECT_TRUE(UpdateBundleVerifier(keys.trusted()).verify(target, version).hasValue()) << name;
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

} // namespace
} // namespace quorin
