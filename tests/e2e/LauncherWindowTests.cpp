// The whole start-up path in a real window: configuration, web UI bundle, the service
// assembly in its order, and what the window shows for each outcome.

#include "e2e/ControllerFixture.h"
#include "shell/LauncherWindow.h"
#include "shell/ServiceAssembly.h"
#include "webui/WebUIBundleValidator.h"

#include <gtest/gtest.h>

namespace quorin::test {
namespace {

constexpr char configurationJSON[] = R"({
  "schemaVersion": 1,
  "product": { "displayName": "Quorin 4.2 Test", "bundleIdentifier": "com.quorin42.desktop.test" },
  "window": { "initialWidth": 1440, "initialHeight": 800, "minimumWidth": 1024, "minimumHeight": 640 },
  "apiOrigin": "https://api.quorin42.net/",
  "authOrigin": "https://login.quorin42.net",
  "gameOrigins": ["https://play.quorin42.net"],
  "updateFeedURL": "https://updates.quorin42.net/launcher/latest-linux.yml"
})";

LauncherConfiguration testConfiguration()
{
    auto configuration = LauncherConfiguration::decode(configurationJSON);
    EXPECT_TRUE(configuration.hasValue());
    return configuration.releaseValue();
}

StorageLocation::Platform storageIn(std::string directory)
{
    return {
        [directory](const std::string& name) -> std::optional<std::string> {
            if (name == "QUORIN_TESTING")
                return "1";
            if (name == "QUORIN_TEST_APP_SUPPORT_DIRECTORY")
                return directory;
            return std::nullopt;
        },
        [] { return std::vector<std::string> {}; },
    };
}

ServiceAssemblyEnvironment testEnvironment(const FixtureFolder& folder, std::vector<std::string>* steps = nullptr)
{
    ServiceAssemblyEnvironment environment;
    environment.applicationVersion = "0.1.0";
    environment.webProcessExtensionsDirectory = QUORIN_WEB_EXTENSION_DIR;
    environment.storagePlatform = storageIn(folder.path() + "/storage");
    environment.websiteDataStore = WebsiteDataStore::ephemeral();
    if (steps)
        environment.stepObserver = [steps](std::string_view step) { steps->emplace_back(step); };
    return environment;
}

WebUIBundle writeWebUI(const FixtureFolder& folder)
{
    folder.write("WebUI/renderer/index.html", "<!doctype html><p id=marker>launcher</p>");
    return WebUIBundle { Url::fileURL(folder.path() + "/WebUI"), Url::fileURL(folder.path() + "/WebUI/renderer/index.html"), 1 };
}

std::vector<std::string> labelsIn(GtkWidget* widget)
{
    std::vector<std::string> labels;
    if (GTK_IS_LABEL(widget) && gtk_widget_get_mapped(widget))
        labels.emplace_back(gtk_label_get_text(GTK_LABEL(widget)));
    for (GtkWidget* child = gtk_widget_get_first_child(widget); child; child = gtk_widget_get_next_sibling(child)) {
        auto inner = labelsIn(child);
        labels.insert(labels.end(), inner.begin(), inner.end());
    }
    return labels;
}

bool showsLabel(GtkWindow* window, const std::string& text)
{
    auto labels = labelsIn(GTK_WIDGET(window));
    return std::find(labels.begin(), labels.end(), text) != labels.end();
}

TEST(ServiceAssembly, BuildsInItsFixedOrder)
{
    FixtureFolder folder;
    std::vector<std::string> steps;
    auto assembly = assembleServices(testConfiguration(), writeWebUI(folder), [](const Url&) { }, testEnvironment(folder, &steps));
    ASSERT_TRUE(assembly.hasValue());
    EXPECT_EQ(steps, (std::vector<std::string> { "navigationPolicy", "runtimeConfiguration", "storageRoot",
                         "windowCommandService", "bridgeService", "bridgeHost", "bootstrapScript", "webViewController",
                         "attachWebView", "windowGameLifecycle", "eventSink" }));
    EXPECT_TRUE(assembly->controller && assembly->deepLinkIntake && assembly->windowGameLifecycle);
    EXPECT_FALSE(assembly->deepLinkIntake->acceptDeepLink(*Url::parse("quorin42://auth?code=1")));
}

TEST(ServiceAssembly, StopsAtAnUnavailableStorageLocation)
{
    FixtureFolder folder;
    std::vector<std::string> steps;
    auto environment = testEnvironment(folder, &steps);
    environment.storagePlatform = { [](const std::string&) { return std::nullopt; }, [] { return std::vector<std::string> {}; } };
    auto assembly = assembleServices(testConfiguration(), writeWebUI(folder), [](const Url&) { }, environment);
    ASSERT_TRUE(assembly.isError());
    EXPECT_EQ(assembly.error(), LauncherAssemblyError::other());
    EXPECT_EQ(steps, (std::vector<std::string> { "navigationPolicy", "runtimeConfiguration" }));
}

TEST(LauncherWindow, StartsAndShowsTheWebUI)
{
    FixtureFolder folder;
    auto bundle = writeWebUI(folder);
    auto model = std::make_unique<LauncherRootModel>(
        [] { return Result<LauncherConfiguration, LauncherConfigurationLoadError>(testConfiguration()); },
        [bundle] { return Result<WebUIBundle, WebUIBundleLoadError>(bundle); },
        [](const Url&) { }, serviceAssembly(testEnvironment(folder)));
    std::vector<std::string> outcomes;
    LauncherWindow window(nullptr, std::move(model), [&](std::string_view outcome) { outcomes.emplace_back(outcome); });
    EXPECT_STREQ(gtk_window_get_title(window.window()), "Quorin 4.2");
    window.present();

    ASSERT_TRUE(runUntil([&] { return !outcomes.empty(); }, std::chrono::seconds(20)));
    EXPECT_EQ(outcomes, std::vector<std::string> { "ready" });
    auto controller = window.model().controller();
    ASSERT_TRUE(controller);
    EXPECT_EQ(gtk_widget_get_root(GTK_WIDGET(controller->webView())), GTK_ROOT(window.window()));
    EXPECT_EQ(PageDriver(controller->webView()).value("document.getElementById('marker').textContent"), "\"launcher\"");

    int minimumWidth = 0, minimumHeight = 0;
    gtk_widget_get_size_request(GTK_WIDGET(window.window()), &minimumWidth, &minimumHeight);
    EXPECT_EQ(minimumWidth, 1024);
    EXPECT_EQ(minimumHeight, 640);
}

TEST(LauncherWindow, ShowsTheFailureCodeAndRetriesTheWholeStart)
{
    FixtureFolder folder;
    int configurationLoads = 0;
    auto model = std::make_unique<LauncherRootModel>(
        [&configurationLoads]() -> Result<LauncherConfiguration, LauncherConfigurationLoadError> {
            configurationLoads++;
            return fail(LauncherConfigurationLoadError(LauncherConfigurationError::of(LauncherConfigurationError::Case::InvalidJSON)));
        },
        [] { return Result<WebUIBundle, WebUIBundleLoadError>(fail(WebUIBundleLoadError(WebUIBundleValidationError::invalidRoot()))); },
        [](const Url&) { }, serviceAssembly(testEnvironment(folder)));
    LauncherWindow window(nullptr, std::move(model));
    window.present();

    ASSERT_TRUE(runUntil([&] { return showsLabel(window.window(), "LAUNCHER_CONFIGURATION_INVALID"); }));
    EXPECT_TRUE(showsLabel(window.window(), "Quorin 4.2 could not start"));
    GtkWidget* retry = gtk_window_get_default_widget(window.window());
    ASSERT_TRUE(retry && GTK_IS_BUTTON(retry));
    EXPECT_STREQ(gtk_button_get_label(GTK_BUTTON(retry)), "Retry");

    g_signal_emit_by_name(retry, "clicked");
    EXPECT_EQ(configurationLoads, 2);
}

} // namespace
} // namespace quorin::test
