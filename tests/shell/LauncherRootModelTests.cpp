#include "shell/LauncherRootModel.h"

#include <gtest/gtest.h>

#include <cerrno>

namespace quorin {
namespace {

using Log = std::vector<std::string>;

constexpr char configurationJSON[] = R"({"schemaVersion": 1, "product": { "displayName": "Quorin Test", "bundleIdentifier": "net.quorin42.launcher.test" },
  "window": { "initialWidth": 1440, "initialHeight": 800, "minimumWidth": 1024, "minimumHeight": 640 }, "apiOrigin": "https://api.quorin42.test",
  "authOrigin": "https://auth.quorin42.test/", "gameOrigins": ["https://game.quorin42.test"], "updateFeedURL": "https://updates.quorin42.test/feed.yml"})";

const WebUIBundle testBundle { Url::fileURL("/opt/quorin/WebUI"), Url::fileURL("/opt/quorin/WebUI/renderer/index.html"), 8 };

enum class Broken { Nothing, Configuration, ConfigurationFile, WebUI, Storage, Assembly };

struct RecordingIntake final : DeepLinkAccepting {
    RecordingIntake(Log& into, const LauncherRootModel& of) : log(into), model(of) { }
    bool acceptDeepLink(const Url& link) override { return log.push_back(link.string() + (model.isRunning() ? " while running" : " while starting")), true; }
    Log& log;
    const LauncherRootModel& model;
};

// Loaders and assembly break as planned, one entry per start (the last repeats); each step and state is logged.
struct PlannedModel {
    explicit PlannedModel(std::vector<Broken> startPlan)
        : plan(std::move(startPlan))
    {
        model.addObserver([this] { log.push_back(model.failure() ? model.failure()->code() : model.isRunning() ? "running" : "loading"); });
    }
    Broken broken() const { return plan[std::min(starts, plan.size()) - 1]; }

    std::vector<Broken> plan;
    std::size_t starts { 0 };
    Log log, deliveries;
    std::function<void()> duringAssembly;
    LauncherRootModel model {
        [this]() -> Result<LauncherConfiguration, LauncherConfigurationLoadError> {
            log.push_back("configuration");
            if (++starts, broken() == Broken::Configuration)
                return fail(LauncherConfigurationLoadError(LauncherConfigurationError::invalidJSON()));
            if (broken() == Broken::ConfigurationFile)
                return fail(LauncherConfigurationLoadError(FileSystemError::fromErrno("/app/launcher-config.json", EISDIR)));
            return LauncherConfiguration::decode(configurationJSON).releaseValue();
        },
        [this]() -> Result<WebUIBundle, WebUIBundleLoadError> {
            log.push_back("bundle");
            if (broken() == Broken::WebUI)
                return fail(WebUIBundleLoadError(WebUIBundleValidationError::invalidManifest()));
            return testBundle;
        },
        [this](const Url&) { log.push_back("external link"); },
        [this](const LauncherConfiguration&, const WebUIBundle& bundle, ExternalURLHandler openExternal) -> Result<LauncherAssembly, LauncherAssemblyError> {
            log.push_back(bundle == testBundle ? "assembly" : "assembly of another bundle");
            openExternal(*Url::parse("https://quorin42.test/"));
            if (duringAssembly)
                duringAssembly();
            if (broken() == Broken::Storage || broken() == Broken::Assembly)
                return fail(broken() == Broken::Storage ? LauncherAssemblyError::storage() : LauncherAssemblyError::other());
            return LauncherAssembly { nullptr, std::make_shared<RecordingIntake>(deliveries, model), nullptr };
        } };
};

TEST(LauncherRootModelTests, StartsIntoRunningOrShowsTheCodeOfTheFirstFailureAndRetriesOnlyAfterAFailure)
{
    PlannedModel planned({ Broken::Configuration, Broken::ConfigurationFile, Broken::WebUI, Broken::Storage, Broken::Assembly, Broken::Nothing });
    planned.duringAssembly = [&] { planned.model.start(); };
    // An observer removed during a notification is not called.
    LauncherRootModel::ObserverID later = 0;
    planned.model.addObserver([&] { planned.model.removeObserver(later); });
    later = planned.model.addObserver([&] { planned.log.push_back("removed observer"); });
    for (int start = 0; start < 7; ++start) {
        planned.model.start();
        EXPECT_EQ(planned.model.isRunning(), planned.model.deepLinkIntake() != nullptr);
    }

    EXPECT_EQ(planned.log, (Log { "configuration", "LAUNCHER_CONFIGURATION_INVALID", "loading",
                               "configuration", "LAUNCHER_WEB_UI_INVALID", "loading", // an unreadable configuration file is not the configuration's fault
                               "configuration", "bundle", "LAUNCHER_WEB_UI_INVALID", "loading",
                               "configuration", "bundle", "assembly", "external link", "LAUNCHER_STORAGE_UNAVAILABLE", "loading",
                               "configuration", "bundle", "assembly", "external link", "LAUNCHER_WEB_UI_INVALID", "loading",
                               "configuration", "bundle", "assembly", "external link", "running" }));
}

TEST(LauncherRootModelTests, ParksTheLastDeepLinkUntilAStartSucceedsAndDeliversItOnceBeforeRunning)
{
    PlannedModel planned({ Broken::Assembly, Broken::Nothing });
    auto open = [&](const char* link) { planned.model.openURL(*Url::parse(link)); };
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

} // namespace
} // namespace quorin
