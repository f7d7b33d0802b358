#include "shell/LauncherRootModel.h"

#include "support/TemporaryDirectory.h"
#include "webui/WebUIBundleLocator.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>

namespace quorin {
namespace {

using Log = std::vector<std::string>;

constexpr char configurationJSON[] = R"({
  "schemaVersion": 1,
  "product": { "displayName": "Quorin Test", "bundleIdentifier": "net.quorin42.launcher.test" },
  "window": { "initialWidth": 1440, "initialHeight": 800, "minimumWidth": 1024, "minimumHeight": 640 },
  "apiOrigin": "https://api.quorin42.test",
  "authOrigin": "https://auth.quorin42.test/",
  "gameOrigins": ["https://game.quorin42.test"],
  "updateFeedURL": "https://updates.quorin42.test/feed.yml"
})";

const WebUIBundle testBundle { Url::fileURL("/opt/quorin/WebUI"), Url::fileURL("/opt/quorin/WebUI/renderer/index.html"), 8 };

// What breaks during one start.
enum class Broken { Nothing, Configuration, ConfigurationFile, WebUI, Storage, Assembly };

// The bridge service's deep-link intake: logs each link and whether the model was running.
struct RecordingIntake final : DeepLinkAccepting {
    RecordingIntake(Log& log, const LauncherRootModel& model)
        : m_log(log)
        , m_model(model)
    {
    }
    bool acceptDeepLink(const Url& link) override
    {
        m_log.push_back(link.string() + (m_model.isRunning() ? " while running" : " while starting"));
        return true;
    }
    Log& m_log;
    const LauncherRootModel& m_model;
};

// A model whose loaders and assembly break as the plan says, one entry per start (the last
// repeats), logging each step and each state the observers see.
struct PlannedModel {
    explicit PlannedModel(std::vector<Broken> startPlan)
        : plan(std::move(startPlan))
    {
        model.addObserver([this] {
            log.push_back(model.failure() ? model.failure()->code() : model.isRunning() ? "running" : "loading");
        });
    }

    Broken broken() const { return plan[std::min(starts, plan.size()) - 1]; }
    Result<LauncherConfiguration, LauncherConfigurationLoadError> loadConfiguration()
    {
        ++starts;
        log.push_back("configuration");
        if (broken() == Broken::Configuration)
            return fail(LauncherConfigurationLoadError(LauncherConfigurationError::invalidJSON()));
        if (broken() == Broken::ConfigurationFile)
            return fail(LauncherConfigurationLoadError(FileSystemError::fromErrno("/app/launcher-config.json", EISDIR)));
        return LauncherConfiguration::decode(configurationJSON).releaseValue();
    }
    Result<WebUIBundle, WebUIBundleLoadError> loadBundle()
    {
        log.push_back("bundle");
        if (broken() == Broken::WebUI)
            return fail(WebUIBundleLoadError(WebUIBundleValidationError::invalidManifest()));
        return testBundle;
    }
    Result<LauncherAssembly, LauncherAssemblyError> assemble(const LauncherConfiguration&, const WebUIBundle& bundle, const ExternalURLHandler& openExternal)
    {
        log.push_back(bundle == testBundle ? "assembly" : "assembly of another bundle");
        openExternal(*Url::parse("https://quorin42.test/"));
        if (duringAssembly)
            duringAssembly();
        if (broken() == Broken::Storage || broken() == Broken::Assembly)
            return fail(broken() == Broken::Storage ? LauncherAssemblyError::storage() : LauncherAssemblyError::other());
        auto intake = std::make_shared<RecordingIntake>(deliveries, model);
        lastIntake = intake;
        return LauncherAssembly { nullptr, intake, nullptr };
    }

    std::vector<Broken> plan;
    std::size_t starts { 0 };
    Log log;
    Log deliveries;
    std::function<void()> duringAssembly;
    std::weak_ptr<RecordingIntake> lastIntake;
    LauncherRootModel model { [this] { return loadConfiguration(); }, [this] { return loadBundle(); },
        [this](const Url&) { log.push_back("external link"); },
        [this](const LauncherConfiguration& configuration, const WebUIBundle& bundle, ExternalURLHandler handler) { return assemble(configuration, bundle, handler); } };
};

TEST(LauncherRootModelTests, StartsIntoRunningOrShowsTheCodeOfTheFirstFailure)
{
    const Log assembled { "configuration", "bundle", "assembly", "external link" };
    auto then = [](Log steps, std::string state) { steps.push_back(std::move(state)); return steps; };
    const struct {
        Broken broken;
        Log expected;
    } cases[] = {
        { Broken::Nothing, then(assembled, "running") },
        { Broken::Configuration, { "configuration", "LAUNCHER_CONFIGURATION_INVALID" } },
        // A configuration file that exists but cannot be read is not the configuration's fault.
        { Broken::ConfigurationFile, { "configuration", "LAUNCHER_WEB_UI_INVALID" } },
        { Broken::WebUI, { "configuration", "bundle", "LAUNCHER_WEB_UI_INVALID" } },
        { Broken::Storage, then(assembled, "LAUNCHER_STORAGE_UNAVAILABLE") },
        { Broken::Assembly, then(assembled, "LAUNCHER_WEB_UI_INVALID") },
    };
    for (const auto& testCase : cases) {
        PlannedModel planned({ testCase.broken });
        planned.model.start();
        EXPECT_EQ(planned.log, testCase.expected);
        EXPECT_EQ(planned.model.isRunning(), planned.model.deepLinkIntake() != nullptr);
    }
}

TEST(LauncherRootModelTests, RetriesAfterAFailureButNeverAfterASuccessOrWhileStarting)
{
    PlannedModel planned({ Broken::Configuration, Broken::Storage, Broken::Nothing });
    planned.duringAssembly = [&] { planned.model.start(); };
    for (int start = 0; start < 4; ++start)
        planned.model.start();

    EXPECT_EQ(planned.log, (Log { "configuration", "LAUNCHER_CONFIGURATION_INVALID", "loading",
                               "configuration", "bundle", "assembly", "external link", "LAUNCHER_STORAGE_UNAVAILABLE", "loading",
                               "configuration", "bundle", "assembly", "external link", "running" }));
}

TEST(LauncherRootModelTests, ParksTheLastDeepLinkUntilAStartSucceedsAndDeliversItOnceBeforeRunning)
{
    PlannedModel planned({ Broken::Assembly, Broken::Nothing });
    auto open = [&](const char* link) { planned.model.openURL(*Url::parse(link)); };
    open("quorin42://auth?code=first");
    open("quorin42://auth?code=second");
    planned.model.start();
    EXPECT_EQ(planned.model.pendingDeepLink(), Url::parse("quorin42://auth?code=second"));
    // A link that arrives while the retry assembles replaces the parked one.
    planned.duringAssembly = [&] { open("quorin42://auth?code=during-start"); };
    planned.model.start();
    open("quorin42://auth?code=after");

    EXPECT_EQ(planned.deliveries, (Log { "quorin42://auth?code=during-start while starting", "quorin42://auth?code=after while running" }));
    EXPECT_FALSE(planned.model.pendingDeepLink());
}

TEST(LauncherRootModelTests, TheModelAloneKeepsTheBridgeServiceAlive)
{
    std::weak_ptr<RecordingIntake> intake;
    {
        PlannedModel planned({ Broken::Nothing });
        planned.model.start();
        intake = planned.lastIntake;
        EXPECT_FALSE(intake.expired());
    }
    EXPECT_TRUE(intake.expired());
}

TEST(LauncherRootModelTests, AnObserverRemovedDuringANotificationIsNotCalled)
{
    PlannedModel planned({ Broken::Configuration });
    int laterCalls = 0;
    LauncherRootModel::ObserverID later = 0;
    planned.model.addObserver([&] { planned.model.removeObserver(later); });
    later = planned.model.addObserver([&] { ++laterCalls; });
    planned.model.start();
    EXPECT_EQ(laterCalls, 0);
}

// The production loaders over real files: what a broken installation shows.
TEST(LauncherRootModelTests, ShowsTheCodeOfTheBrokenPieceOfARealInstallation)
{
    testing::TemporaryDirectory directory;
    ApplicationBundle application(directory.pathOf("Quorin Test.app"));
    const std::string configurationPath = "Quorin Test.app/Contents/Resources/launcher-config.json";
    auto startFailure = [&] {
        LauncherRootModel model([&] { return LauncherConfiguration::bundled(application); }, [&] { return WebUIBundleLocator::packaged(application); },
            [](const Url&) {}, [](const LauncherConfiguration&, const WebUIBundle&, ExternalURLHandler) -> Result<LauncherAssembly, LauncherAssemblyError> {
                ADD_FAILURE() << "assembled a broken installation";
                return fail(LauncherAssemblyError::other());
            });
        model.start();
        return model.failure() ? model.failure()->code() : "none";
    };
    EXPECT_EQ(startFailure(), "LAUNCHER_CONFIGURATION_INVALID"); // no configuration at all
    directory.write(configurationPath, configurationJSON);
    EXPECT_EQ(startFailure(), "LAUNCHER_WEB_UI_INVALID"); // valid configuration, no web UI folder
    std::filesystem::remove(directory.pathOf(configurationPath));
    directory.makeDirectory(configurationPath);
    EXPECT_EQ(startFailure(), "LAUNCHER_WEB_UI_INVALID"); // present but unreadable
}

} // namespace
} // namespace quorin
