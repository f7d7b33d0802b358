#include "LauncherRootModel.h"

#include <algorithm>
#include <utility>
#include <variant>

namespace quorin {

namespace {

// A file that exists but cannot be read is not the configuration's fault.
LauncherStartupFailure startupFailure(const LauncherConfigurationLoadError& error)
{
    return std::holds_alternative<LauncherConfigurationError>(error) ? LauncherStartupFailure::configurationInvalid()
                                                                      : LauncherStartupFailure::webUIInvalid();
}

LauncherStartupFailure startupFailure(const LauncherAssemblyError& error)
{
    return error.errorCase == LauncherAssemblyError::Case::Storage ? LauncherStartupFailure::storageUnavailable()
                                                              : LauncherStartupFailure::webUIInvalid();
}

} // namespace

LauncherRootModel::LauncherRootModel(ConfigurationLoader configurationLoader, BundleLoader bundleLoader,
    ExternalURLHandler externalURLHandler, LauncherServiceAssembly serviceAssembly)
    : m_configurationLoader(std::move(configurationLoader))
    , m_bundleLoader(std::move(bundleLoader))
    , m_externalURLHandler(std::move(externalURLHandler))
    , m_serviceAssembly(std::move(serviceAssembly))
{
}

void LauncherRootModel::start()
{
    if (m_didStart && !m_failure)
        return;
    m_didStart = true;
    showLoading();

    auto assembly = assembleLauncher();
    if (assembly.isError()) {
        publishFailure(assembly.error());
        return;
    }
    publishRunning(assembly.releaseValue());
}

// Whatever the loaders and the assembly built dies with this frame when a step fails.
Result<LauncherAssembly, LauncherStartupFailure> LauncherRootModel::assembleLauncher() const
{
    auto configuration = m_configurationLoader();
    if (configuration.isError())
        return fail(startupFailure(configuration.error()));
    auto bundle = m_bundleLoader();
    if (bundle.isError())
        return fail(LauncherStartupFailure::webUIInvalid());
    auto assembly = m_serviceAssembly(configuration.value(), bundle.value(), m_externalURLHandler);
    if (assembly.isError())
        return fail(startupFailure(assembly.error()));
    return assembly.releaseValue();
}

void LauncherRootModel::showLoading()
{
    bool changed = m_isRunning || m_failure;
    m_isRunning = false;
    m_controller.reset();
    m_failure.reset();
    if (changed)
        notifyObservers();
}

void LauncherRootModel::publishFailure(LauncherStartupFailure failure)
{
    m_failure = failure;
    notifyObservers();
}

void LauncherRootModel::publishRunning(LauncherAssembly assembly)
{
    m_windowGameLifecycle = std::move(assembly.windowGameLifecycle);
    m_deepLinkIntake = std::move(assembly.deepLinkIntake);
    deliverPendingDeepLink();
    m_controller = std::move(assembly.controller);
    m_isRunning = true;
    notifyObservers();
}

void LauncherRootModel::deliverPendingDeepLink()
{
    if (!m_pendingDeepLink || !m_deepLinkIntake)
        return;
    // Cleared before delivery so that the link is handed over exactly once.
    auto url = std::exchange(m_pendingDeepLink, std::nullopt);
    (void)m_deepLinkIntake->acceptDeepLink(*url);
}

void LauncherRootModel::openURL(const Url& url)
{
    if (m_deepLinkIntake) {
        (void)m_deepLinkIntake->acceptDeepLink(url);
        return;
    }
    m_pendingDeepLink = url;
}

LauncherRootModel::ObserverID LauncherRootModel::addObserver(Observer observer)
{
    auto id = m_nextObserverID++;
    m_observers.emplace_back(id, std::move(observer));
    return id;
}

void LauncherRootModel::removeObserver(ObserverID id)
{
    std::erase_if(m_observers, [id](const auto& entry) { return entry.first == id; });
}

void LauncherRootModel::notifyObservers()
{
    // Observers may add or remove observers while being called: walk a copy, and skip
    // any that were removed in the meantime.
    auto observers = m_observers;
    for (const auto& [id, observer] : observers) {
        bool stillRegistered = std::ranges::any_of(m_observers, [id](const auto& entry) { return entry.first == id; });
        if (stillRegistered && observer)
            observer();
    }
}

} // namespace quorin
