#include "LauncherApplication.h"

#include "DefaultHandler.h"
#include "LauncherWindow.h"
#include "ServiceAssembly.h"
#include "core/ApplicationBundle.h"
#include "core/FilePath.h"
#include "core/ProductIdentity.h"
#include "core/glib/GUniquePtr.h"
#include "core/glib/SignalConnection.h"
#include "game/RuffleRuntimePreload.h"
#include "webui/WebUIBundleLocator.h"
#include "webui/WebUIBundleValidator.h"

#include <cstdio>
#include <gtk/gtk.h>
#include <optional>
#include <vector>

namespace quorin {

struct LauncherApplication::State {
    glib::GRef<GtkApplication> application;
    std::unique_ptr<LauncherWindow> window;
    std::optional<ApplicationBundle> bundle { ApplicationBundle::running() };
    std::shared_ptr<RuffleRuntimePreload> gameRuntime;
    std::optional<std::string> webUIRoot;
    bool reportStartup { false };
    bool pageConsole { false };
    // Declared last, so the handlers go before anything they reach.
    std::vector<glib::SignalConnection> applicationSignals;
};

LauncherApplication::LauncherApplication()
    : m_state(std::make_unique<State>())
{
}

LauncherApplication::~LauncherApplication() = default;

static std::unique_ptr<LauncherRootModel> makeProductionModel(const std::optional<ApplicationBundle>& bundle,
    const std::optional<std::string>& webUIRoot, bool pageConsole, std::shared_ptr<RuffleRuntimePreload> gameRuntime)
{
    auto configurationLoader = [bundle]() -> Result<LauncherConfiguration, LauncherConfigurationLoadError> {
        if (!bundle)
            return fail(LauncherConfigurationLoadError(LauncherConfigurationError::missingBundledConfiguration()));
        return LauncherConfiguration::bundled(*bundle);
    };
    auto bundleLoader = [bundle, webUIRoot]() -> Result<WebUIBundle, WebUIBundleLoadError> {
        if (webUIRoot)
            return WebUIBundleLocator::development(*webUIRoot);
        if (!bundle)
            return fail(WebUIBundleLoadError(WebUIBundleValidationError::invalidRoot()));
        return WebUIBundleLocator::packaged(*bundle);
    };
    auto openExternally = [](const Url& url) { openWithDefaultHandler(url); };

    ServiceAssemblyEnvironment environment;
    environment.applicationVersion = bundle ? bundle->shortVersionString() : std::string("0.1.0");
    environment.webProcessExtensionsDirectory = bundle ? bundle->plugInsDirectory() : std::string();
    environment.gameRuntime = std::move(gameRuntime);
    environment.writesPageConsole = pageConsole;
    environment.applicationBundlePath = bundle ? bundle->rootPath() : std::string();
    // The application, not the window: quitting ends the process so the update helper can swap the bundle.
    environment.quitApplication = [] {
        if (auto* application = g_application_get_default())
            g_application_quit(application);
    };
    return std::make_unique<LauncherRootModel>(configurationLoader, bundleLoader, openExternally, serviceAssembly(std::move(environment)));
}

static void reportOutcome(std::string_view outcome)
{
    std::printf("%.*s: %.*s\n", static_cast<int>(ProductIdentity::displayName.size()), ProductIdentity::displayName.data(),
        static_cast<int>(outcome.size()), outcome.data());
    std::fflush(stdout);
}

static void printError(const std::string& message)
{
    std::fprintf(stderr, "%s\n", message.c_str());
}

// Options that shape the window mean nothing to a launch that only hands its URLs over.
static void warnAboutOptionsOfASecondInstance(GApplication* application)
{
    if (!g_application_register(application, nullptr, nullptr) || !g_application_get_is_remote(application))
        return;
    printError(std::string(ProductIdentity::displayName)
        + " is already running: --web-ui-root, --report-startup and --page-console apply only to the first launch and are ignored.");
}

static void hintAtMissingWebUIManifest(const std::string& root)
{
    std::string manifest = filePath::joined(root, WebUIBundleValidator::manifestPath);
    if (g_file_test(root.c_str(), G_FILE_TEST_IS_DIR) && !g_file_test(manifest.c_str(), G_FILE_TEST_EXISTS))
        printError(root + " has no " + std::string(WebUIBundleValidator::manifestPath) + ": run `quorin-release manifest-web-ui " + root + "` to write it.");
}

LauncherWindow& LauncherApplication::ensureWindow(GtkApplication* application, State& state)
{
    if (!state.window) {
        LauncherWindow::OutcomeObserver observer;
        if (state.reportStartup)
            observer = reportOutcome;
        state.window = std::make_unique<LauncherWindow>(application, makeProductionModel(state.bundle, state.webUIRoot, state.pageConsole, state.gameRuntime), observer);
    }
    return *state.window;
}

int LauncherApplication::run(int argc, char** argv)
{
    auto& state = *m_state;
    std::string applicationID(ProductIdentity::bundleIdentifier);
    state.application = glib::adoptGRef(gtk_application_new(applicationID.c_str(), G_APPLICATION_HANDLES_OPEN));
    GApplication* application = G_APPLICATION(state.application.get());

    g_application_add_main_option(application, "web-ui-root", 0, G_OPTION_FLAG_NONE, G_OPTION_ARG_FILENAME,
        "Show the web UI from DIR instead of the one inside the application", "DIR");
    g_application_add_main_option(application, "report-startup", 0, G_OPTION_FLAG_NONE, G_OPTION_ARG_NONE,
        "Print the start-up outcome (\"ready\" or a failure code) on standard output", nullptr);
    g_application_add_main_option(application, "page-console", 0, G_OPTION_FLAG_NONE, G_OPTION_ARG_NONE,
        "Print every console message of the page on standard output", nullptr);
    g_application_set_option_context_parameter_string(application, "[quorin42://URL…]");
    g_application_set_option_context_summary(application,
        "A quorin42:// URL is a deep link; while the launcher runs, a second launch hands it to the running one.");

    auto connect = [&state, application](const char* signal, GCallback handler) {
        state.applicationSignals.push_back(glib::SignalConnection::connect(application, signal, handler, &state));
    };
    connect("handle-local-options", G_CALLBACK(+[](GApplication* app, GVariantDict* options, State* self) -> gint {
        // Under way while GTK starts (at registration, below or after this handler), on the
        // core that would otherwise wait. Not before the options are read: --help ends the
        // process from inside their parsing, and a thread still hashing then would meet the
        // crypto library's clean-up at exit.
        self->gameRuntime = std::make_shared<RuffleRuntimePreload>(self->bundle ? self->bundle->resourcesDirectory() : std::nullopt);
        const char* root = nullptr;
        if (g_variant_dict_lookup(options, "web-ui-root", "^&ay", &root) && root)
            self->webUIRoot = root;
        self->reportStartup = g_variant_dict_contains(options, "report-startup");
        self->pageConsole = g_variant_dict_contains(options, "page-console");
        if (self->webUIRoot || self->reportStartup || self->pageConsole)
            warnAboutOptionsOfASecondInstance(app);
        if (self->webUIRoot)
            hintAtMissingWebUIManifest(*self->webUIRoot);
        return -1; // continue with the default handling
    }));
    connect("activate", G_CALLBACK(+[](GApplication* app, State* self) { ensureWindow(GTK_APPLICATION(app), *self).present(); }));
    connect("open", G_CALLBACK(+[](GApplication* app, GFile** files, gint count, gchar*, State* self) {
        auto& window = ensureWindow(GTK_APPLICATION(app), *self);
        for (gint index = 0; index < count; ++index) {
            auto uri = glib::takeString(g_file_get_uri(files[index]));
            if (auto url = Url::parse(uri))
                window.model().openURL(*url);
        }
        window.present();
    }));
    connect("shutdown", G_CALLBACK(+[](GApplication*, State* self) { self->window.reset(); }));

    return g_application_run(application, argc, argv);
}

} // namespace quorin
