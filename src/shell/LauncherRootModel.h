#pragma once

// The object behind the one window: loads the configuration and the web UI bundle, runs
// the service assembly, and publishes either the running launcher or a start-up failure.
// Parks deep links that arrive before the bridge service exists. Main thread only.

#include "LauncherAssembly.h"
#include "LauncherStartupFailure.h"
#include "core/LauncherConfiguration.h"
#include "webui/WebUIBundleValidator.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace quorin {

class LauncherRootModel {
public:
    using ConfigurationLoader = std::function<Result<LauncherConfiguration, LauncherConfigurationLoadError>()>;
    using BundleLoader = std::function<Result<WebUIBundle, WebUIBundleLoadError>()>;
    using Observer = std::function<void()>;
    using ObserverID = std::uint64_t;

    LauncherRootModel(ConfigurationLoader configurationLoader, BundleLoader bundleLoader, ExternalURLHandler externalURLHandler,
        LauncherServiceAssembly serviceAssembly);

    LauncherRootModel(const LauncherRootModel&) = delete;
    LauncherRootModel& operator=(const LauncherRootModel&) = delete;

    // Runs the start sequence unless a start already succeeded. Synchronous; the outcome is
    // seen in isRunning()/controller() or failure(). Builds everything anew after a failure.
    void start();
    // The system asked the application to open `url`: straight to the bridge service's
    // deep-link intake when it exists, else parked (replacing any URL parked before).
    void openURL(const Url& url);

    // A start succeeded and its controller is published; the window shows the web content.
    bool isRunning() const { return m_isRunning; }
    // The published controller; null unless running.
    const std::shared_ptr<LauncherWebViewController>& controller() const { return m_controller; }
    const std::optional<LauncherStartupFailure>& failure() const { return m_failure; }
    bool didStart() const { return m_didStart; }
    const std::shared_ptr<DeepLinkAccepting>& deepLinkIntake() const { return m_deepLinkIntake; }
    const std::shared_ptr<WindowGameLifecycle>& windowGameLifecycle() const { return m_windowGameLifecycle; }
    const std::optional<Url>& pendingDeepLink() const { return m_pendingDeepLink; }

    // Observers are called after every change of the published controller or failure.
    ObserverID addObserver(Observer observer);
    void removeObserver(ObserverID id);

private:
    Result<LauncherAssembly, LauncherStartupFailure> assembleLauncher() const;
    void showLoading();
    void publishFailure(LauncherStartupFailure failure);
    void publishRunning(LauncherAssembly assembly);
    void deliverPendingDeepLink();
    void notifyObservers();

    ConfigurationLoader m_configurationLoader;
    BundleLoader m_bundleLoader;
    ExternalURLHandler m_externalURLHandler;
    LauncherServiceAssembly m_serviceAssembly;

    bool m_isRunning { false };
    std::shared_ptr<LauncherWebViewController> m_controller;
    std::optional<LauncherStartupFailure> m_failure;
    bool m_didStart { false };
    std::shared_ptr<DeepLinkAccepting> m_deepLinkIntake;
    std::shared_ptr<WindowGameLifecycle> m_windowGameLifecycle;
    std::optional<Url> m_pendingDeepLink;

    std::vector<std::pair<ObserverID, Observer>> m_observers;
    ObserverID m_nextObserverID { 1 };
};

} // namespace quorin
