// The method groups that hand the whole call to their component, or answer a fixed fallback.

#include "DefaultLauncherBridgeService.h"

namespace quorin {

void DefaultLauncherBridgeService::handleAPI(const BridgeRequest& request, BridgeServiceCompletion completion)
{
    if (!m_components.api || request.arguments().size() != 1)
        return completion(fail(BridgeServiceError::withCode(APIBridgePort::unavailableCode)));
    m_components.api->request(request.arguments().front(), std::move(completion));
}

void DefaultLauncherBridgeService::handleGame(const BridgeRequest& request, BridgeServiceCompletion completion)
{
    if (!m_components.game) {
        return completion(BridgeValue::object({
            { "ok", BridgeValue::boolean(false) },
            { "code", BridgeValue::string(std::string(LauncherGameBridgeServicing::unavailableCode)) },
        }));
    }
    m_components.game->handleGame(request, std::move(completion));
}

void DefaultLauncherBridgeService::handleSystem(const BridgeRequest& request, BridgeServiceCompletion completion)
{
    if (!m_components.system) {
        if (request.method() == BridgeMethod::GetZoomFactor)
            return completion(BridgeValue::number(1.0));
        return completion(BridgeValue::boolean(false));
    }
    m_components.system->handle(request, std::move(completion));
}

void DefaultLauncherBridgeService::handleSavedAccounts(const BridgeRequest& request, BridgeServiceCompletion completion)
{
    const auto& arguments = request.arguments();
    auto invalidEntry = [] { return fail(BridgeServiceError::withCode(SavedAccountsBridgePort::invalidEntryCode)); };
    auto& store = m_components.savedAccounts;
    switch (request.method()) {
    case BridgeMethod::SavedAccountsList:
        if (!store)
            return completion(BridgeValue::array({}));
        return store->list(std::move(completion));
    case BridgeMethod::SavedAccountsUpsert:
        if (!store || arguments.empty())
            return completion(invalidEntry());
        return store->upsert(arguments.front(), std::move(completion));
    case BridgeMethod::SavedAccountsRemove:
        if (!store || arguments.empty() || !arguments.front().isString())
            return completion(invalidEntry());
        return store->remove(arguments.front().asString(), std::move(completion));
    default:
        return completion(fail(BridgeServiceError::uncoded()));
    }
}

} // namespace quorin
