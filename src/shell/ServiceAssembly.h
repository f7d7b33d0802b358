#pragma once

// Builds and connects the launcher's services in one fixed order and returns the three
// long-lived objects the root model keeps. Services that later work adds slot into the
// same order; until then the bridge service answers their methods with its fallbacks.
// Main thread only.

#include "LauncherAssembly.h"
#include "core/StorageLocation.h"
#include "game/LocalProxyEndpoints.h"
#include "webview/LauncherWebViewController.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace quorin {

class RuffleRuntimePreload;

struct ServiceAssemblyEnvironment {
    // The application's own version ("CFBundleShortVersionString", or "0.1.0").
    std::string applicationVersion;
    std::string webProcessExtensionsDirectory;
    // The bundle's game runtime, its verification begun when the application started; none:
    // the runtime is missing.
    std::shared_ptr<RuffleRuntimePreload> gameRuntime;
    StorageLocation::Platform storagePlatform { StorageLocation::Platform::process() };
    // Where the page's cookies and local storage live; by default under the storage root.
    std::optional<WebsiteDataStore> websiteDataStore;
    // The page's console messages go to standard output (--page-console).
    bool writesPageConsole { false };
    // Makes each configured game socket's proxy; none: the launcher's own, which reaches the
    // host's public IPv4 address (the game test's leads to a server on 127.0.0.1 instead).
    SocketProxyFactory makeGameSocketProxy;
    // The running application bundle, which an update replaces; empty outside a bundle.
    std::string applicationBundlePath;
    // Ends the application: an update's hand-off calls it once the helper has taken over.
    std::function<void()> quitApplication;
    // Told the name of each step as it completes (tests follow the order with it).
    std::function<void(std::string_view step)> stepObserver;
};

Result<LauncherAssembly, LauncherAssemblyError> assembleServices(const LauncherConfiguration& configuration, const WebUIBundle& bundle,
    ExternalURLHandler externalURLHandler, const ServiceAssemblyEnvironment& environment);

// The assembly operation the root model runs on every start attempt.
LauncherServiceAssembly serviceAssembly(ServiceAssemblyEnvironment environment);

} // namespace quorin
