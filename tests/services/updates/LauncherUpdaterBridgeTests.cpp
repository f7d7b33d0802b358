#include "services/updates/LauncherUpdaterBridge.h"

#include <gtest/gtest.h>

#include <sstream>

namespace quorin {
namespace {

// An updater whose steps wait for the test to complete them; every publication is logged as
// "status [version] [percent] [code]".
struct Harness {
    std::function<void(UpdateStepResult<std::string>)> feedDone, stageDone;
    std::function<void(double)> progress;
    std::function<void(UpdateStepResult<Ok>)> handoffDone;
    std::shared_ptr<NativeLauncherUpdater> updater;
    std::vector<std::string> log;
    int actions = 0, done = 0;

    explicit Harness(std::string currentVersion)
        : updater(NativeLauncherUpdater::create(std::move(currentVersion), *Url::parse("https://updates.test/latest.yml"),
            { .fetchFeed = [this](const Url&, auto completion) { feedDone = completion; },
                .stage = [this](const UpdateRelease&, auto onProgress, auto completion) { progress = onProgress, stageDone = completion; },
                .handoff = [this](const std::string&, const UpdateRelease&, auto completion) { handoffDone = completion; } }))
    {
        updater->setOnStateChanged([this](const NativeUpdateState& state) {
            std::ostringstream line;
            line << NativeUpdateState::statusWord(state.status) << (state.version ? " " + *state.version : "");
            if (state.percent)
                line << ' ' << *state.percent;
            line << (state.error ? " " + *state.error : "");
            log.push_back(line.str());
        });
    }

    void run(const std::string& command)
    {
        auto space = command.find(' ');
        auto verb = command.substr(0, space), argument = space == std::string::npos ? "" : command.substr(space + 1);
        auto count = [this] { ++done; };
        if (verb == "check" || verb == "download" || verb == "install")
            ++actions, (verb == "check" ? updater->check(count) : verb == "download" ? updater->download(count) : updater->install(count));
        else if (verb == "feed")
            feedDone(argument.empty() ? UpdateStepResult<std::string>(fail(UpdateStepFailure::foreign()))
                                      : "version: " + argument + "\nfiles:\n  - url: " + releaseArchiveName(argument)
                                          + "\n    sha512: " + std::string(86, 'A') + "==\n    size: 1234\n");
        else if (verb == "progress")
            progress(std::stod(argument));
        else if (verb == "staged")
            stageDone(argument.empty() ? UpdateStepResult<std::string>("/staged/Quorin 4.2.app") : fail(*LauncherUpdateError::fromCode(argument)));
        else if (verb == "handedOff")
            handoffDone(argument.empty() ? UpdateStepResult<Ok>(Ok {}) : fail(*LauncherUpdateError::fromCode(argument)));
    }
};

TEST(NativeLauncherUpdater, FollowsTheTransitionTable)
{
    struct Case { std::string currentVersion; std::vector<std::string> script; std::vector<std::string> published; };
    const Case cases[] = {
        { "1.2.0", { "check", "check", "feed 1.3.0" }, { "checking", "available 1.3.0" } },
        { "1.2.0", { "download", "check", "feed 1.2.0", "download" }, { "checking", "not-available" } },
        { "1.2.10", { "check", "feed 1.2.9" }, { "checking", "not-available" } },
        { "1.02.0", { "check", "feed 1.3.0" }, { "checking", "error UPDATE_FEED_INVALID" } },
        { "1.2.0", { "check", "feed" }, { "checking", "error UPDATE_NETWORK_FAILED" } },
        { "1.2.0", { "check", "feed 1.3.0", "download", "progress -5", "progress 150", "progress 42", "staged", "progress 7", "check", "install", "install", "handedOff UPDATE_INSTALL_FAILED" },
            { "checking", "available 1.3.0", "downloading 1.3.0 0", "downloading 1.3.0 0", "downloading 1.3.0 100", "downloading 1.3.0 42", "downloaded 1.3.0 100",
                "installing 1.3.0 100", "error 1.3.0 100 UPDATE_INSTALL_FAILED" } },
        { "1.2.0", { "check", "feed 1.3.0", "download", "staged UPDATE_INTEGRITY_FAILED", "progress 50", "download", "check" },
            { "checking", "available 1.3.0", "downloading 1.3.0 0", "error 1.3.0 0 UPDATE_INTEGRITY_FAILED", "checking" } },
        { "1.2.0", { "check", "feed 1.3.0", "download", "staged", "install", "handedOff", "check" },
            { "checking", "available 1.3.0", "downloading 1.3.0 0", "downloaded 1.3.0 100", "installing 1.3.0 100" } },
    };
    for (const auto& [currentVersion, script, published] : cases) {
        Harness harness(currentVersion);
        for (const auto& command : script)
            harness.run(command);
        EXPECT_EQ(harness.log, published) << script.back();
        EXPECT_EQ(harness.done, harness.actions - (published.back() == "checking")) << script.back();
    }
}

TEST(LauncherUpdaterBridge, GivesThePageAllEightKeys)
{
    Harness harness("1.2.0");
    LauncherUpdaterBridge bridge(harness.updater);
    EXPECT_EQ(bridge.state().value().jsonText(), R"({"canCheck":true,"canDownload":false,"canInstall":false,"currentVersion":"1.2.0","error":null,"progress":null,"status":"idle","version":null})");
    for (const auto* command : { "check", "feed 1.3.0", "download", "staged UPDATE_INTEGRITY_FAILED" })
        harness.run(command);
    EXPECT_EQ(bridge.state().value().jsonText(), R"({"canCheck":true,"canDownload":false,"canInstall":false,"currentVersion":"1.2.0","error":{"code":"UPDATE_INTEGRITY_FAILED"},"progress":{"percent":0},"status":"error","version":"1.3.0"})");
}

// What each status lets the page do; version, progress and error pass through as above.
TEST(LauncherUpdaterBridge, TellsThePageWhatEachStatusAllows)
{
    using Status = NativeUpdateState::Status;
    const std::tuple<Status, const char*, bool, bool, bool> cases[] = { // status, its word, canCheck, canDownload, canInstall
        { Status::Checking, "checking", false, false, false },
        { Status::NotAvailable, "not-available", true, false, false },
        { Status::Available, "available", true, true, false },
        { Status::Downloading, "downloading", false, false, false },
        { Status::Downloaded, "downloaded", true, false, true },
        { Status::Installing, "installing", false, false, false },
        { Status::Error, "error", true, false, false },
    };
    auto flag = [](bool value) { return value ? "true" : "false"; };
    for (const auto& [status, word, canCheck, canDownload, canInstall] : cases)
        EXPECT_EQ(updateStateValue({ status, "1.2.0", std::nullopt, std::nullopt, std::nullopt }).jsonText(),
            std::string(R"({"canCheck":)") + flag(canCheck) + R"(,"canDownload":)" + flag(canDownload) + R"(,"canInstall":)" + flag(canInstall)
                + R"(,"currentVersion":"1.2.0","error":null,"progress":null,"status":")" + word + R"(","version":null})");
}

} // namespace
} // namespace quorin
