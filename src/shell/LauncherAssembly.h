#pragma once

// What the root model expects of the service assembly: given the configuration, the web UI
// bundle and the external-URL handler, the three long-lived objects of a running launcher,
// or the class of the first error that stopped the assembly.

#include "bridge/DeepLinkAccepting.h"
#include "core/LauncherConfiguration.h"
#include "core/Result.h"
#include "core/Url.h"
#include "webui/WebUIBundle.h"

#include <functional>
#include <memory>

namespace quorin {

// Platform classes; the root model only holds them.
class LauncherWebViewController;
class WindowGameLifecycle;

// Opens a URL outside the launcher, in the user's default handler.
using ExternalURLHandler = std::function<void(const Url&)>;

struct LauncherAssembly {
    std::shared_ptr<LauncherWebViewController> controller;
    // The bridge service's deep-link intake. It shares ownership of all running services
    // (the bridge service and every component it reaches): holding it keeps them alive.
    std::shared_ptr<DeepLinkAccepting> deepLinkIntake;
    std::shared_ptr<WindowGameLifecycle> windowGameLifecycle;
};

struct LauncherAssemblyError {
    enum class Case {
        // The preferences store or the saved-account store refused its file.
        Storage,
        // Anything else, including an unavailable storage location.
        Other,
    };
    Case errorCase;

    static LauncherAssemblyError storage() { return { Case::Storage }; }
    static LauncherAssemblyError other() { return { Case::Other }; }
    bool operator==(const LauncherAssemblyError&) const = default;
};

using LauncherServiceAssembly = std::function<Result<LauncherAssembly, LauncherAssemblyError>(
    const LauncherConfiguration& configuration, const WebUIBundle& bundle, ExternalURLHandler externalURLHandler)>;

} // namespace quorin
