#include "DefaultLauncherBridgeService.h"

namespace quorin {

BridgeValue DefaultLauncherBridgeService::fallbackUpdateState() const
{
    return BridgeValue::object({
        { "status", BridgeValue::string("unsupported") },
        { "currentVersion", BridgeValue::string(m_appVersion) },
        { "version", BridgeValue::null() },
        { "progress", BridgeValue::null() },
        { "error", BridgeValue::null() },
        { "canCheck", BridgeValue::boolean(false) },
        { "canDownload", BridgeValue::boolean(false) },
        { "canInstall", BridgeValue::boolean(false) },
    });
}

BridgeServiceResult DefaultLauncherBridgeService::updateState() const
{
    if (!m_components.updater)
        return fallbackUpdateState();
    return m_components.updater->state();
}

void DefaultLauncherBridgeService::handleUpdates(const BridgeRequest& request, BridgeServiceCompletion completion)
{
    auto& updater = m_components.updater;
    if (!updater || request.method() == BridgeMethod::LauncherUpdateGetState)
        return completion(updateState());

    // The actions never fail: the page reads their outcome from the state that follows.
    std::weak_ptr<DefaultLauncherBridgeService> weakService = weak_from_this();
    auto answer = [weakService, completion = std::move(completion)] {
        auto service = weakService.lock();
        completion(service ? service->updateState() : fail(BridgeServiceError::uncoded()));
    };
    switch (request.method()) {
    case BridgeMethod::LauncherUpdateCheck:
        return updater->check(std::move(answer));
    case BridgeMethod::LauncherUpdateDownload:
        return updater->download(std::move(answer));
    case BridgeMethod::LauncherUpdateInstall:
        return updater->install(std::move(answer));
    default:
        return answer();
    }
}

} // namespace quorin
