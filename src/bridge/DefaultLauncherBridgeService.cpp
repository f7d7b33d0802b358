#include "DefaultLauncherBridgeService.h"

#include "core/PlatformValues.h"
#include "core/ProductIdentity.h"

namespace quorin {

std::shared_ptr<DefaultLauncherBridgeService> DefaultLauncherBridgeService::create(BridgeValue::Object runtimeConfig, std::string appVersion, BridgeServiceComponents components)
{
    std::shared_ptr<DefaultLauncherBridgeService> service(new DefaultLauncherBridgeService(std::move(runtimeConfig), std::move(appVersion), std::move(components)));
    if (auto& updater = service->m_components.updater) {
        std::weak_ptr<DefaultLauncherBridgeService> weakService = service;
        updater->onStateChanged([weakService] {
            auto strongService = weakService.lock();
            if (!strongService)
                return;
            // A state the page cannot be given is dropped; the page can still ask for it.
            if (auto state = strongService->updateState())
                strongService->sendEvent("updateStateChanged", state.value());
        });
    }
    return service;
}

DefaultLauncherBridgeService::DefaultLauncherBridgeService(BridgeValue::Object runtimeConfig, std::string appVersion, BridgeServiceComponents components)
    : m_runtimeConfig(std::move(runtimeConfig))
    , m_appVersion(std::move(appVersion))
    , m_components(std::move(components))
{
}

void DefaultLauncherBridgeService::sendEvent(const std::string& eventName, const BridgeValue& payload) const
{
    if (m_eventSink)
        m_eventSink(eventName, payload);
}

void DefaultLauncherBridgeService::handle(const BridgeRequest& request, BridgeServiceCompletion completion)
{
    switch (groupOf(request.method())) {
    case BridgeMethodGroup::Host:
        return handleHost(request, std::move(completion));
    case BridgeMethodGroup::API:
        return handleAPI(request, std::move(completion));
    case BridgeMethodGroup::Game:
        return handleGame(request, std::move(completion));
    case BridgeMethodGroup::Updates:
        return handleUpdates(request, std::move(completion));
    case BridgeMethodGroup::Preferences:
        return handlePreferences(request, std::move(completion));
    case BridgeMethodGroup::SavedAccounts:
        return handleSavedAccounts(request, std::move(completion));
    case BridgeMethodGroup::DeepLinks:
        return handleDeepLinks(request, std::move(completion));
    case BridgeMethodGroup::System:
        return handleSystem(request, std::move(completion));
    }
    completion(fail(BridgeServiceError::uncoded()));
}

// The methods with fixed answers: nothing is measured, cleared or reported elsewhere.
void DefaultLauncherBridgeService::handleHost(const BridgeRequest& request, BridgeServiceCompletion completion) const
{
    switch (request.method()) {
    case BridgeMethod::GetAppInfo:
        return completion(BridgeValue::object({
            { "appName", BridgeValue::string(std::string(ProductIdentity::displayName)) },
            { "appVersion", BridgeValue::string(m_appVersion) },
            { "platform", BridgeValue::string(std::string(PlatformValues::appInfoPlatform)) },
        }));
    case BridgeMethod::GetResourceCacheSize:
    case BridgeMethod::ClearResourceCache:
        return completion(BridgeValue::object({ { "ok", BridgeValue::boolean(true) }, { "bytes", BridgeValue::number(0) } }));
    case BridgeMethod::GetRuntimeConfig:
        return completion(BridgeValue::object(m_runtimeConfig));
    case BridgeMethod::GetSystemTheme:
        return completion(BridgeValue::string("dark"));
    case BridgeMethod::UpdateDiscordActivity:
    case BridgeMethod::ClearDiscordActivity:
        return completion(BridgeValue::boolean(true));
    default:
        return completion(fail(BridgeServiceError::uncoded()));
    }
}

} // namespace quorin
