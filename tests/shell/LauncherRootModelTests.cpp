#include "shell/LauncherRootModel.h"

#include "ShellTestConfiguration.h"
#include "support/TemporaryDirectory.h"
#include "webui/WebUIBundleLocator.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <deque>
#include <filesystem>

namespace quorin {
namespace {

namespace fs = std::filesystem;

Url url(const std::string& text)
{
    auto parsed = Url::parse(text);
    EXPECT_TRUE(parsed.has_value()) << text;
    return parsed.value_or(Url::fileURL("/unparsable"));
}

// The bridge service's deep-link intake, recording what reaches it and in which model state.
class RecordingDeepLinkIntake final : public DeepLinkAccepting {
public:
    explicit RecordingDeepLinkIntake(const LauncherRootModel*& model)
        : m_model(model)
    {
    }
    bool acceptDeepLink(const Url& link) override
    {
        received.push_back(link.string());
        modelWasRunning.push_back(m_model && m_model->isRunning());
        return true;
    }
    std::vector<std::string> received;
    std::vector<bool> modelWasRunning;

private:
    const LauncherRootModel*& m_model;
};

using ConfigurationResult = Result<LauncherConfiguration, LauncherConfigurationLoadError>;
using BundleResult = Result<WebUIBundle, WebUIBundleLoadError>;
using AssemblyOutcome = std::optional<LauncherAssemblyError>; // nullopt: the assembly succeeds

WebUIBundle testBundle()
{
    return { Url::fileURL("/opt/quorin/WebUI"), Url::fileURL("/opt/quorin/WebUI/renderer/index.html"), 8 };
}

// Loaders and an assembly that answer from scripts, one entry per call; the last entry repeats.
class RootModelHarness {
public:
    RootModelHarness()
        : model(
            [this] { return nextConfiguration(); },
            [this] { return nextBundle(); },
            [this](const Url& link) { externallyOpened.push_back(link.string()); },
            [this](const LauncherConfiguration& configuration, const WebUIBundle& bundle, ExternalURLHandler handler) {
                return assemble(configuration, bundle, std::move(handler));
            })
    {
        modelPointer = &model;
        model.addObserver([this] { notifications.push_back(stateName()); });
    }

    std::string stateName() const
    {
        if (model.failure())
            return std::string(model.failure()->rawValue());
        return model.isRunning() ? "running" : "loading";
    }

    std::deque<std::function<ConfigurationResult()>> configurations { [] { return ConfigurationResult(testing::decodedConfiguration()); } };
    std::deque<std::function<BundleResult()>> bundles { [] { return BundleResult(testBundle()); } };
    std::deque<AssemblyOutcome> assemblies { std::nullopt };
    std::function<void()> duringAssembly;

    int configurationLoads { 0 };
    int bundleLoads { 0 };
    int assemblyRuns { 0 };
    std::vector<std::string> externallyOpened;
    std::vector<std::string> notifications;
    std::weak_ptr<RecordingDeepLinkIntake> lastIntake;
    std::optional<LauncherConfiguration> assembledConfiguration;
    std::optional<WebUIBundle> assembledBundle;

    const LauncherRootModel* modelPointer { nullptr };
    LauncherRootModel model;

private:
    template<typename T>
    static T next(std::deque<T>& script)
    {
        auto entry = script.front();
        if (script.size() > 1)
            script.pop_front();
        return entry;
    }

    ConfigurationResult nextConfiguration()
    {
        ++configurationLoads;
        return next(configurations)();
    }
    BundleResult nextBundle()
    {
        ++bundleLoads;
        return next(bundles)();
    }
    Result<LauncherAssembly, LauncherAssemblyError> assemble(const LauncherConfiguration& configuration, const WebUIBundle& bundle, ExternalURLHandler handler)
    {
        ++assemblyRuns;
        assembledConfiguration = configuration;
        assembledBundle = bundle;
        if (handler)
            handler(url("https://assembly.example/opened"));
        if (duringAssembly)
            duringAssembly();
        if (auto error = next(assemblies))
            return fail(*error);
        auto intake = std::make_shared<RecordingDeepLinkIntake>(modelPointer);
        lastIntake = intake;
        return LauncherAssembly { nullptr, intake, nullptr };
    }
};

ConfigurationResult configurationError(LauncherConfigurationError error) { return fail(LauncherConfigurationLoadError(std::move(error))); }
ConfigurationResult configurationReadError() { return fail(LauncherConfigurationLoadError(FileSystemError::fromErrno("/app/launcher-config.json", EISDIR))); }
BundleResult bundleError(WebUIBundleValidationError error) { return fail(WebUIBundleLoadError(std::move(error))); }
BundleResult bundleReadError() { return fail(WebUIBundleLoadError(FileSystemError::fromErrno("/app/WebUI/upstream.json", EACCES))); }

TEST(LauncherRootModelTests, StartsIntoRunningOrMapsTheFirstFailure)
{
    struct Case {
        std::string description;
        std::function<ConfigurationResult()> configuration;
        std::function<BundleResult()> bundle;
        AssemblyOutcome assembly;
        std::optional<std::string> expectedFailure; // nullopt: running
        int expectedBundleLoads;
        int expectedAssemblyRuns;
    };
    auto valid = [] { return ConfigurationResult(testing::decodedConfiguration()); };
    auto validBundle = [] { return BundleResult(testBundle()); };
    const std::vector<Case> cases = {
        { "everything succeeds", valid, validBundle, std::nullopt, std::nullopt, 1, 1 },
        { "configuration refused", [] { return configurationError(LauncherConfigurationError::invalidValue("apiOrigin")); }, validBundle, std::nullopt,
            "LAUNCHER_CONFIGURATION_INVALID", 0, 0 },
        { "configuration missing", [] { return configurationError(LauncherConfigurationError::of(LauncherConfigurationError::Case::MissingBundledConfiguration)); },
            validBundle, std::nullopt, "LAUNCHER_CONFIGURATION_INVALID", 0, 0 },
        { "configuration file unreadable", configurationReadError, validBundle, std::nullopt, "LAUNCHER_WEB_UI_INVALID", 0, 0 },
        { "web UI refused", valid, [] { return bundleError(WebUIBundleValidationError::invalidManifest()); }, std::nullopt, "LAUNCHER_WEB_UI_INVALID", 1, 0 },
        { "web UI unreadable", valid, bundleReadError, std::nullopt, "LAUNCHER_WEB_UI_INVALID", 1, 0 },
        { "assembly: storage refused its file", valid, validBundle, LauncherAssemblyError::storage(), "LAUNCHER_STORAGE_UNAVAILABLE", 1, 1 },
        { "assembly: anything else", valid, validBundle, LauncherAssemblyError::other(), "LAUNCHER_WEB_UI_INVALID", 1, 1 },
    };
    for (const auto& c : cases) {
        RootModelHarness harness;
        harness.configurations = { c.configuration };
        harness.bundles = { c.bundle };
        harness.assemblies = { c.assembly };

        harness.model.start();

        EXPECT_TRUE(harness.model.didStart()) << c.description;
        EXPECT_EQ(harness.configurationLoads, 1) << c.description;
        EXPECT_EQ(harness.bundleLoads, c.expectedBundleLoads) << c.description;
        EXPECT_EQ(harness.assemblyRuns, c.expectedAssemblyRuns) << c.description;
        EXPECT_EQ(harness.model.isRunning(), !c.expectedFailure) << c.description;
        if (c.expectedFailure) {
            ASSERT_TRUE(harness.model.failure()) << c.description;
            EXPECT_EQ(harness.model.failure()->code(), *c.expectedFailure) << c.description;
            EXPECT_EQ(harness.model.deepLinkIntake(), nullptr) << c.description;
            EXPECT_EQ(harness.model.windowGameLifecycle(), nullptr) << c.description;
            EXPECT_EQ(harness.model.controller(), nullptr) << c.description;
        } else {
            EXPECT_FALSE(harness.model.failure()) << c.description;
            EXPECT_NE(harness.model.deepLinkIntake(), nullptr) << c.description;
        }
        EXPECT_EQ(harness.notifications, std::vector<std::string> { c.expectedFailure.value_or("running") }) << c.description;
    }
}

TEST(LauncherRootModelTests, HandsTheAssemblyTheLoadedValuesAndTheExternalHandler)
{
    RootModelHarness harness;
    harness.model.start();

    ASSERT_TRUE(harness.assembledConfiguration);
    EXPECT_EQ(*harness.assembledConfiguration, testing::decodedConfiguration());
    EXPECT_EQ(harness.assembledBundle, testBundle());
    EXPECT_EQ(harness.externallyOpened, std::vector<std::string> { "https://assembly.example/opened" });
}

TEST(LauncherRootModelTests, ASuccessfulStartIsNeverRepeated)
{
    RootModelHarness harness;
    harness.model.start();
    auto intake = harness.model.deepLinkIntake();
    harness.model.start();
    harness.model.start();

    EXPECT_EQ(harness.configurationLoads, 1);
    EXPECT_EQ(harness.bundleLoads, 1);
    EXPECT_EQ(harness.assemblyRuns, 1);
    EXPECT_TRUE(harness.model.isRunning());
    EXPECT_EQ(harness.model.deepLinkIntake(), intake);
    EXPECT_EQ(harness.notifications, std::vector<std::string> { "running" });
}

TEST(LauncherRootModelTests, RetryAfterAFailureReloadsAndBuildsEverythingAgain)
{
    RootModelHarness harness;
    harness.configurations = {
        [] { return configurationError(LauncherConfigurationError::of(LauncherConfigurationError::Case::InvalidJSON)); },
        [] { return ConfigurationResult(testing::decodedConfiguration()); },
    };
    harness.assemblies = { LauncherAssemblyError::storage(), std::nullopt };

    harness.model.start(); // configuration refused
    harness.model.start(); // storage refused
    harness.model.start(); // succeeds
    harness.model.start(); // nothing

    EXPECT_EQ(harness.configurationLoads, 3);
    EXPECT_EQ(harness.bundleLoads, 2);
    EXPECT_EQ(harness.assemblyRuns, 2);
    EXPECT_TRUE(harness.model.isRunning());
    EXPECT_FALSE(harness.model.failure());
    const std::vector<std::string> expected = { "LAUNCHER_CONFIGURATION_INVALID", "loading", "LAUNCHER_STORAGE_UNAVAILABLE", "loading", "running" };
    EXPECT_EQ(harness.notifications, expected);
}

TEST(LauncherRootModelTests, AStartRequestedWhileStartingDoesNothing)
{
    RootModelHarness harness;
    harness.duringAssembly = [&] { harness.model.start(); };
    harness.model.start();

    EXPECT_EQ(harness.assemblyRuns, 1);
    EXPECT_EQ(harness.configurationLoads, 1);
    EXPECT_TRUE(harness.model.isRunning());
}

TEST(LauncherRootModelTests, EarlyDeepLinksAreParkedAndTheLastIsDeliveredOnceBeforePublishing)
{
    RootModelHarness harness;
    harness.model.openURL(url("quorin42://auth?code=first"));
    harness.model.openURL(url("quorin42://auth?code=second"));
    EXPECT_EQ(harness.model.pendingDeepLink(), url("quorin42://auth?code=second"));

    harness.model.start();

    auto intake = harness.lastIntake.lock();
    ASSERT_TRUE(intake);
    EXPECT_EQ(intake->received, std::vector<std::string> { "quorin42://auth?code=second" });
    EXPECT_EQ(intake->modelWasRunning, std::vector<bool> { false }); // delivered before the controller is published
    EXPECT_FALSE(harness.model.pendingDeepLink());

    harness.model.openURL(url("quorin42://auth?code=third"));
    harness.model.start();
    EXPECT_EQ(intake->received, (std::vector<std::string> { "quorin42://auth?code=second", "quorin42://auth?code=third" }));
    EXPECT_FALSE(harness.model.pendingDeepLink());
}

TEST(LauncherRootModelTests, ADeepLinkParkedDuringFailedStartsReachesTheFirstSuccessfulRetry)
{
    RootModelHarness harness;
    harness.assemblies = { LauncherAssemblyError::other(), LauncherAssemblyError::storage(), std::nullopt };
    harness.duringAssembly = [&] {
        if (harness.assemblyRuns == 1)
            harness.model.openURL(url("quorin42://auth?code=during-start"));
    };

    harness.model.start();
    EXPECT_EQ(harness.model.pendingDeepLink(), url("quorin42://auth?code=during-start"));
    harness.model.start();
    EXPECT_EQ(harness.model.pendingDeepLink(), url("quorin42://auth?code=during-start"));
    EXPECT_TRUE(harness.lastIntake.expired());

    harness.model.start();
    auto intake = harness.lastIntake.lock();
    ASSERT_TRUE(intake);
    EXPECT_EQ(intake->received, std::vector<std::string> { "quorin42://auth?code=during-start" });
    EXPECT_FALSE(harness.model.pendingDeepLink());
}

TEST(LauncherRootModelTests, ADeepLinkOpenedDuringTheAssemblyIsDeliveredByThatStart)
{
    RootModelHarness harness;
    harness.duringAssembly = [&] { harness.model.openURL(url("quorin42://auth?code=x")); };
    harness.model.start();

    auto intake = harness.lastIntake.lock();
    ASSERT_TRUE(intake);
    EXPECT_EQ(intake->received, std::vector<std::string> { "quorin42://auth?code=x" });
    EXPECT_FALSE(harness.model.pendingDeepLink());
}

TEST(LauncherRootModelTests, TheModelAloneKeepsTheBridgeServiceAlive)
{
    std::weak_ptr<RecordingDeepLinkIntake> intake;
    {
        RootModelHarness harness;
        harness.model.start();
        intake = harness.lastIntake;
        EXPECT_FALSE(intake.expired());
    }
    EXPECT_TRUE(intake.expired());
}

TEST(LauncherRootModelTests, RemovedObserversAreNotCalled)
{
    RootModelHarness harness;
    harness.configurations = { [] { return configurationReadError(); } };
    int laterCalls = 0;
    LauncherRootModel::ObserverID later = 0;
    auto first = harness.model.addObserver([&] { harness.model.removeObserver(later); });
    later = harness.model.addObserver([&] { ++laterCalls; });

    harness.model.start();
    EXPECT_EQ(laterCalls, 0); // removed by an earlier observer during the same notification

    harness.model.removeObserver(first);
    auto counted = harness.model.addObserver([&] { ++laterCalls; });
    harness.model.start();
    EXPECT_EQ(laterCalls, 2); // loading, then the failure again
    harness.model.removeObserver(counted);
    harness.model.start();
    EXPECT_EQ(laterCalls, 2);
}

// The production loaders over real files: what a broken installation shows.
class RootModelWithRealFilesTests : public ::testing::Test {
protected:
    void SetUp() override { m_directory.makeDirectory("Quorin Test.app/Contents/Resources"); }

    std::string startFailureCode()
    {
        ApplicationBundle application(m_directory.pathOf("Quorin Test.app"));
        int assemblyRuns = 0;
        LauncherRootModel model([application] { return LauncherConfiguration::bundled(application); },
            [application] { return WebUIBundleLocator::packaged(application); }, [](const Url&) { },
            [&](const LauncherConfiguration&, const WebUIBundle&, ExternalURLHandler) -> Result<LauncherAssembly, LauncherAssemblyError> {
                ++assemblyRuns;
                return fail(LauncherAssemblyError::other());
            });
        model.start();
        EXPECT_EQ(assemblyRuns, 0);
        return model.failure() ? model.failure()->code() : "none";
    }

    testing::TemporaryDirectory m_directory;
    const std::string m_configurationPath = "Quorin Test.app/Contents/Resources/launcher-config.json";
};

TEST_F(RootModelWithRealFilesTests, ShowsTheCodeOfTheBrokenPiece)
{
    EXPECT_EQ(startFailureCode(), "LAUNCHER_CONFIGURATION_INVALID"); // no configuration at all

    m_directory.write(m_configurationPath, "{ \"schemaVersion\": 1, ");
    EXPECT_EQ(startFailureCode(), "LAUNCHER_CONFIGURATION_INVALID");

    m_directory.write(m_configurationPath, testing::configurationJSON());
    EXPECT_EQ(startFailureCode(), "LAUNCHER_WEB_UI_INVALID"); // valid configuration, no web UI folder

    fs::remove(m_directory.pathOf(m_configurationPath));
    m_directory.makeDirectory(m_configurationPath);
    EXPECT_EQ(startFailureCode(), "LAUNCHER_WEB_UI_INVALID"); // present but unreadable
}

} // namespace
} // namespace quorin
