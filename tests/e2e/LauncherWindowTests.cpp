// The whole start-up path in a real window: configuration, web UI bundle, the service
// assembly in its order, and what the window shows for each outcome.

#include "e2e/LauncherPage.h"
#include "shell/LauncherWindow.h"
#include "shell/ServiceAssembly.h"
#include "core/ReadableFile.h"
#include "game/RuffleRuntimePreload.h"
#include "webui/WebUIBundleLocator.h"
#include "webui/WebUIBundleValidator.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace quorin::test {
namespace {

using ConfigurationResult = Result<LauncherConfiguration, LauncherConfigurationLoadError>;

LauncherConfiguration testConfiguration()
{
    return LauncherConfiguration::decode(R"({ "schemaVersion": 1, "product": { "displayName": "Quorin 4.2 Test", "bundleIdentifier": "com.quorin42.desktop.test" },
      "window": { "initialWidth": 1440, "initialHeight": 800, "minimumWidth": 1024, "minimumHeight": 640 }, "apiOrigin": "https://api.quorin42.net/",
      "authOrigin": "https://login.quorin42.net", "gameOrigins": ["https://play.quorin42.net"], "updateFeedURL": "https://updates.quorin42.net/launcher/latest-linux.yml" })")
        .releaseValue();
}

// Storage in the test's folder, the way the test override puts it.
ServiceAssemblyEnvironment testEnvironment(const testing::TemporaryDirectory& folder, std::vector<std::string>* steps = nullptr)
{
    ServiceAssemblyEnvironment environment;
    environment.applicationVersion = "0.1.0";
    environment.webProcessExtensionsDirectory = QUORIN_WEB_EXTENSION_DIR;
    environment.gameRuntime = std::make_shared<RuffleRuntimePreload>(QUORIN_BUNDLE_DIR "/Contents/Resources");
    auto storage = folder.pathOf("storage");
    environment.storagePlatform = { [storage](const std::string& name) -> std::optional<std::string> {
        return name == "QUORIN_TESTING" ? "1" : name == "QUORIN_TEST_APP_SUPPORT_DIRECTORY" ? std::optional(storage) : std::nullopt; }, [] { return std::vector<std::string> {}; } };
    environment.websiteDataStore = WebsiteDataStore::ephemeral();
    if (steps)
        environment.stepObserver = [steps](std::string_view step) { steps->emplace_back(step); };
    return environment;
}

WebUIBundle sampleWebUI() { return WebUIBundleLocator::development(QUORIN_BUNDLE_DIR "/Contents/Resources/WebUI").value(); }

const std::vector<std::string> assemblySteps = { "navigationPolicy", "runtimeConfiguration", "apiOriginPolicy", "storageRoot", "preferencesStore",
    "savedAccountStore", "windowCommandService", "systemBridgeService", "deepLinkRouter", "socketProxyConfigurations", "gameService", "runtimeManifest",
    "gameSchemeHandler", "apiTransport", "updater", "bridgeService", "bridgeHost", "bootstrapScript", "webViewController", "attachWebView", "windowGameLifecycle", "eventSink" };

bool showsLabel(GtkWidget* widget, const std::string& text)
{
    if (GTK_IS_LABEL(widget) && gtk_widget_get_mapped(widget) && gtk_label_get_text(GTK_LABEL(widget)) == text)
        return true;
    for (GtkWidget* child = gtk_widget_get_first_child(widget); child; child = gtk_widget_get_next_sibling(child)) {
        if (showsLabel(child, text))
            return true;
    }
    return false;
}

TEST(ServiceAssembly, StopsAtAnUnavailableStorageLocationOrAnUnreadableDataFile)
{
    using Prepare = std::function<void(ServiceAssemblyEnvironment&, const testing::TemporaryDirectory&)>;
    const std::tuple<const char*, Prepare, LauncherAssemblyError, int> cases[] = {
        { "no storage location", [](auto& environment, auto&) { environment.storagePlatform.environmentVariable = [](const std::string&) { return std::nullopt; }; },
            LauncherAssemblyError::other(), 3 },
        { "preferences file is a folder", [](auto&, auto& folder) { folder.makeDirectory("storage/launcher-preferences.json"); }, LauncherAssemblyError::storage(), 4 },
        { "saved-accounts file is a folder", [](auto&, auto& folder) { folder.makeDirectory("storage/saved-accounts.json"); }, LauncherAssemblyError::storage(), 5 },
        { "no game runtime", [](auto& environment, auto&) { environment.gameRuntime = nullptr; }, LauncherAssemblyError::other(), 11 },
    };
    for (const auto& [name, prepare, error, stepsDone] : cases) {
        testing::TemporaryDirectory folder;
        std::vector<std::string> steps;
        auto environment = testEnvironment(folder, &steps);
        prepare(environment, folder);
        auto assembly = assembleServices(testConfiguration(), sampleWebUI(), [](const Url&) {}, environment);
        ASSERT_TRUE(assembly.isError()) << name;
        EXPECT_EQ(assembly.error(), error) << name;
        EXPECT_EQ(steps, std::vector(assemblySteps.begin(), assemblySteps.begin() + stepsDone)) << name;
    }
}

// A started launcher window over the web UI `bundle`, its services kept under `folder`.
struct StartedLauncher {
    StartedLauncher(const testing::TemporaryDirectory& folder, const WebUIBundle& bundle, std::vector<std::string>* steps = nullptr)
        : window(nullptr,
            std::make_unique<LauncherRootModel>([] { return ConfigurationResult(testConfiguration()); },
                [bundle] { return Result<WebUIBundle, WebUIBundleLoadError>(bundle); }, [](const Url&) {}, serviceAssembly(testEnvironment(folder, steps))),
            [this](std::string_view outcome) { outcomes.emplace_back(outcome); })
    {
        window.present();
        EXPECT_TRUE(runUntil([&] { return !outcomes.empty(); }));
        EXPECT_EQ(outcomes, std::vector<std::string> { "ready" });
    }
    WebKitWebView* webView() { return window.model().controller()->webView(); }

    std::vector<std::string> outcomes;
    LauncherWindow window;
};

TEST(LauncherWindow, ShowsTheFailureCodeAndRetriesTheWholeStart)
{
    testing::TemporaryDirectory folder;
    int configurationLoads = 0;
    auto model = std::make_unique<LauncherRootModel>(
        [&configurationLoads]() -> ConfigurationResult {
            configurationLoads++;
            return fail(LauncherConfigurationLoadError(LauncherConfigurationError::invalidJSON()));
        },
        [] { return Result<WebUIBundle, WebUIBundleLoadError>(fail(WebUIBundleLoadError(WebUIBundleValidationError::invalidRoot()))); },
        [](const Url&) {}, serviceAssembly(testEnvironment(folder)));
    LauncherWindow window(nullptr, std::move(model));
    window.present();

    ASSERT_TRUE(runUntil([&] { return showsLabel(GTK_WIDGET(window.window()), "LAUNCHER_CONFIGURATION_INVALID"); }));
    GtkWidget* retry = gtk_window_get_default_widget(window.window());
    ASSERT_TRUE(retry && GTK_IS_BUTTON(retry));
    g_signal_emit_by_name(retry, "clicked");
    EXPECT_EQ(configurationLoads, 2);
}

// The window shows the sample web UI after every assembly step; its buttons reach the window command service through the whole bridge.
// Preferences and saved accounts outlive the launcher; the token lives only in the key store.
TEST(LauncherWindow, StartsTheSampleWebUIWhoseButtonsWorkAndWhosePreferencesAndAccountsSurviveARestart)
{
    testing::TemporaryDirectory folder;
    const std::string token = "e2e-token-7f3a9c";
    {
        std::vector<std::string> steps;
        StartedLauncher launcher(folder, sampleWebUI(), &steps);
        GtkWindow* window = launcher.window.window();
        EXPECT_STREQ(gtk_window_get_title(window), "Quorin 4.2");
        EXPECT_EQ(steps, assemblySteps);
        EXPECT_EQ(gtk_widget_get_root(GTK_WIDGET(launcher.webView())), GTK_ROOT(window));
        int minimumWidth = 0, minimumHeight = 0;
        gtk_widget_get_size_request(GTK_WIDGET(window), &minimumWidth, &minimumHeight);
        EXPECT_EQ(std::pair(minimumWidth, minimumHeight), std::pair(1024, 640));
        // The runtime configuration the page gets is made from the configured origins.
        EXPECT_EQ(pageValue(launcher.webView(), "[electronAPI.runtimeConfig.apiBaseUrl, electronAPI.runtimeConfig.authBridgeBaseUrl]"),
            R"(["https://api.quorin42.net/api","https://login.quorin42.net"])");
        int closeRequests = 0;
        auto keepOpen = glib::SignalConnection::connect(window, "close-request",
            G_CALLBACK(+[](GtkWindow*, int* count) { return ++*count > 0; }), &closeRequests);

        pageValue(launcher.webView(), "document.querySelector('[data-action=zoomIn]').click(); document.getElementById('mute-toggle').click(); true");
        ASSERT_TRUE(runUntil([&] { return pageValue(launcher.webView(), "document.getElementById('view-answer').textContent").find("muted") != std::string::npos; }));
        EXPECT_DOUBLE_EQ(webkit_web_view_get_zoom_level(launcher.webView()), 1.1);
        EXPECT_EQ(pageValue(launcher.webView(), "[document.getElementById('zoom-factor').value, document.getElementById('mute-toggle').textContent]"), R"(["110%","Unmute"])");
        // The play card opens the sample's session in its frame, and the window's close clears it.
        pageValue(launcher.webView(), "document.getElementById('play-open').click(); true");
        ASSERT_TRUE(runUntil([&] { return pageValue(launcher.webView(), "document.getElementById('play-frame').src").starts_with(R"("quorin-game://app/)"); }));
        pageValue(launcher.webView(), "document.querySelector('[data-action=windowClose]').click(); true");
        EXPECT_TRUE(runUntil([&] { return closeRequests == 1; }));
        EXPECT_TRUE(runUntil([&] { return pageValue(launcher.webView(), "document.getElementById('play-frame').hidden") == "true"; }));
        EXPECT_EQ(awaitedValue(launcher.webView(), "await electronAPI.preferences.setLocale('en');"
                                                   "return (await electronAPI.savedAccounts.upsert({ userId: 'u1', username: 'Player', token: '" + token + "' })).length;"),
            "1");
    }
    StartedLauncher restarted(folder, sampleWebUI());
    EXPECT_EQ(awaitedValue(restarted.webView(), "const accounts = await electronAPI.savedAccounts.list();"
                                                "return [(await electronAPI.preferences.initialize({ locale: 'tr' })).locale, accounts.map(a => [a.username, a.token]),"
                                                " (await electronAPI.savedAccounts.remove(accounts[0].id)).length];"),
        R"(["en",[["Player",")" + token + R"("]],0])");
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder.pathOf("storage")))
        EXPECT_TRUE(!entry.is_regular_file() || ReadableFile::readContents(entry.path()).value().find(token) == std::string::npos) << entry.path();
}

} // namespace
} // namespace quorin::test
