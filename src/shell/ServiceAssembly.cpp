#include "ServiceAssembly.h"

#include "RuntimeConfiguration.h"
#include "WindowCommandService.h"
#include "WindowGameLifecycle.h"
#include "bridge/BridgeBootstrapScript.h"
#include "bridge/BridgeDispatcher.h"
#include "bridge/DefaultLauncherBridgeService.h"
#include "bridge/LauncherBridgeHost.h"
#include "core/AtomicFileDataPersistence.h"
#include "core/FilePath.h"
#include "core/PrivateDirectory.h"
#include "core/glib/MainLoop.h"
#include "game/GameSchemeHandler.h"
#include "game/LauncherGameService.h"
#include "game/LocalProxyEndpoints.h"
#include "game/RuffleRuntimePreload.h"
#include "services/accounts/SavedAccountsBridgeService.h"
#include "services/api/APITransport.h"
#include "services/deeplinks/DeepLinkRouter.h"
#include "services/preferences/LauncherPreferencesBridge.h"
#include "services/system/SystemBridgeService.h"
#include "services/updates/LauncherUpdaterBridge.h"
#include "updater/platform/UpdaterProduction.h"
#include "webview/WebProcessExtensions.h"

namespace quorin {

namespace {

class StepLog {
public:
    explicit StepLog(const std::function<void(std::string_view)>& observer)
        : m_observer(observer)
    {
    }
    void done(std::string_view step) const
    {
        if (m_observer)
            m_observer(step);
    }

private:
    const std::function<void(std::string_view)>& m_observer;
};

WebsiteDataStore persistentStore(const std::string& storageRoot)
{
    return WebsiteDataStore::persistent(storageRoot + "/WebKit/Data", storageRoot + "/WebKit/Cache");
}

// How long an external login may take before its state is refused.
constexpr double loginStateLifetimeSeconds = 600;
// The largest API response body the page may receive.
constexpr std::size_t apiResponseLimitBytes = 2097152;

} // namespace

Result<LauncherAssembly, LauncherAssemblyError> assembleServices(const LauncherConfiguration& configuration, const WebUIBundle& bundle,
    ExternalURLHandler externalURLHandler, const ServiceAssemblyEnvironment& environment)
{
    StepLog log(environment.stepObserver);

    // Without its web-process extension a page has no bridge and no file filter: never start one.
    auto extensionModule = filePath::joined(environment.webProcessExtensionsDirectory, webProcessExtensionFileName);
    if (!g_file_test(extensionModule.c_str(), G_FILE_TEST_IS_REGULAR))
        return fail(LauncherAssemblyError::other());

    LauncherNavigationPolicy navigationPolicy(bundle.rootURL, configuration.authOrigin(), configuration.gameOrigins());
    log.done("navigationPolicy");
    const std::string& applicationVersion = environment.applicationVersion;
    auto runtimeConfig = RuntimeConfiguration::make(configuration);
    log.done("runtimeConfiguration");
    auto apiOriginPolicy = AllowedOriginPolicy::create({ configuration.apiOrigin() });
    if (apiOriginPolicy.isError())
        return fail(LauncherAssemblyError::other());
    log.done("apiOriginPolicy");

    auto storageRoot = StorageLocation::applicationStorageRoot(configuration.product().displayName, environment.storagePlatform);
    if (storageRoot.isError())
        return fail(LauncherAssemblyError::other());
    // The web process mounts its data folders at start and dies if one cannot be made, so
    // they must all exist before the web view does.
    auto dataStore = environment.websiteDataStore.value_or(persistentStore(storageRoot.value()));
    for (const auto& folder : { std::optional(storageRoot.value()), dataStore.dataDirectory, dataStore.cacheDirectory }) {
        if (folder && ensurePrivateDirectory(*folder).isError())
            return fail(LauncherAssemblyError::other());
    }
    log.done("storageRoot");

    // The user's data files: one the launcher cannot read ends the start as a storage failure.
    auto preferencesStore = LauncherPreferencesStore::create(
        std::make_unique<AtomicFileDataPersistence>(StorageLocation::preferencesFilePath(storageRoot.value())));
    if (preferencesStore.isError())
        return fail(LauncherAssemblyError::storage());
    log.done("preferencesStore");
    auto savedAccounts = SavedAccountsBridgeService::open(
        std::make_shared<AtomicFileDataPersistence>(StorageLocation::savedAccountsFilePath(storageRoot.value())));
    if (savedAccounts.isError())
        return fail(LauncherAssemblyError::storage());
    log.done("savedAccountStore");

    auto windowCommands = std::make_shared<WindowCommandService>();
    log.done("windowCommandService");
    auto systemService = std::make_shared<SystemBridgeService>(windowCommands, std::vector { Url::fileURL(storageRoot.value()) });
    log.done("systemBridgeService");
    auto deepLinkRouter = std::make_shared<DeepLinkRouter>(loginStateLifetimeSeconds);
    log.done("deepLinkRouter");
    auto gameSockets = localProxyEndpoints(configuration.gameSockets(), environment.makeGameSocketProxy);
    if (gameSockets.isError())
        return fail(LauncherAssemblyError::other());
    log.done("socketProxyConfigurations");
    auto gameService = LauncherGameService::create(configuration.gameOrigins(), gameSockets.releaseValue());
    log.done("gameService");
    // A missing or altered emulator runtime ends the start, like a refused web UI.
    if (!environment.gameRuntime)
        return fail(LauncherAssemblyError::other());
    auto gameRuntime = environment.gameRuntime->take();
    if (gameRuntime.isError())
        return fail(LauncherAssemblyError::other());
    log.done("runtimeManifest");
    auto gameSchemeHandler = std::make_shared<GameSchemeHandler>(GameResourceResolver(gameService->sessions(),
        std::make_shared<RuffleRuntimeManifest>(gameRuntime.releaseValue()), configuration.gameOrigins(), [] { return std::chrono::system_clock::now(); }));
    log.done("gameSchemeHandler");

    auto apiTransport = std::make_shared<APITransport>(apiOriginPolicy.releaseValue(), applicationVersion, apiResponseLimitBytes);
    log.done("apiTransport");
    auto updater = makeProductionUpdater({ applicationVersion, configuration.updateFeedURL(), environment.applicationBundlePath, storageRoot.value(),
        environment.quitApplication, UpdateBundleVerifier(UpdateTrustedKeys::production()) });
    log.done("updater");

    // The transport carries the origin policy it checks each request against.
    auto bridgeService = DefaultLauncherBridgeService::create(runtimeConfig, applicationVersion,
        BridgeServiceComponents {
            .api = apiTransport,
            .preferences = std::make_shared<LauncherPreferencesBridge>(preferencesStore.releaseValue()),
            .savedAccounts = savedAccounts.releaseValue(),
            .system = systemService,
            .deepLinks = deepLinkRouter,
            .game = gameService,
            .updater = std::make_shared<LauncherUpdaterBridge>(updater),
        });
    log.done("bridgeService");
    auto dispatcher = std::make_shared<BridgeDispatcher>(bridgeService);
    auto bridgeHost = std::make_shared<LauncherBridgeHost>(dispatcher, bundle.rootURL);
    log.done("bridgeHost");

    auto nativeHost = RuntimeConfiguration::nativeHostDescription(configuration, applicationVersion);
    auto bootstrapScript = BridgeBootstrapScript::make(runtimeConfig, nativeHost);
    if (bootstrapScript.isError())
        return fail(LauncherAssemblyError::other());
    log.done("bootstrapScript");

    auto controller = LauncherWebViewController::create(LauncherWebViewControllerOptions {
        .webUIBundle = bundle,
        .navigationPolicy = navigationPolicy,
        .documentStartScripts = { bootstrapScript.releaseValue() },
        .bridgeHost = bridgeHost,
        .gameSchemeHandler = WebViewSchemeHandler { std::string(GameResourceResolver::scheme),
            [gameSchemeHandler](WebKitURISchemeRequest* request) { gameSchemeHandler->start(request); } },
        .allowsInspection = false,
        .writesPageConsole = environment.writesPageConsole,
        .websiteDataStore = dataStore,
        .openExternal = externalURLHandler,
        .webProcessExtensionsDirectory = environment.webProcessExtensionsDirectory,
    });
    log.done("webViewController");

    windowCommands->attach(controller->webView());
    log.done("attachWebView");

    std::weak_ptr<LauncherGameService> weakGame = gameService;
    auto lifecycle = std::make_shared<WindowGameLifecycle>(controller->webView(), [weakGame] {
        if (auto game = weakGame.lock())
            game->invalidate();
    });
    log.done("windowGameLifecycle");

    std::weak_ptr<LauncherWebViewController> weakController = controller;
    bridgeService->setEventSink([weakController](const std::string& eventName, const BridgeValue& payload) {
        // Each event is its own main-loop task; a page that cannot take it drops it.
        glib::runOnMainLoop([weakController, eventName, payload] {
            if (auto target = weakController.lock())
                target->dispatchNativeEvent(eventName, payload);
        });
    });
    log.done("eventSink");

    // The bridge service holds every component it reaches.
    return LauncherAssembly { controller, bridgeService, lifecycle };
}

LauncherServiceAssembly serviceAssembly(ServiceAssemblyEnvironment environment)
{
    return [environment = std::move(environment)](const LauncherConfiguration& configuration, const WebUIBundle& bundle, ExternalURLHandler handler) {
        return assembleServices(configuration, bundle, std::move(handler), environment);
    };
}

} // namespace quorin
