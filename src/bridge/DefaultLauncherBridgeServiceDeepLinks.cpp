#include "DefaultLauncherBridgeService.h"

namespace quorin {

bool DefaultLauncherBridgeService::acceptDeepLink(const Url& url)
{
    if (!m_components.deepLinks)
        return false;
    auto delivery = m_components.deepLinks->route(url);
    if (!delivery)
        return false;
    if (delivery->pageEvent)
        sendEvent("deepLink", BridgeValue::string(*delivery->pageEvent));
    return true;
}

void DefaultLauncherBridgeService::handleDeepLinks(const BridgeRequest& request, BridgeServiceCompletion completion)
{
    auto& router = m_components.deepLinks;
    switch (request.method()) {
    case BridgeMethod::GetStartupURL: {
        if (!router)
            return completion(BridgeValue::null());
        auto startupURL = router->takeStartupURL();
        return completion(startupURL ? BridgeValue::string(std::move(*startupURL)) : BridgeValue::null());
    }
    case BridgeMethod::AuthBeginExternalLogin: {
        if (!router)
            return completion(BridgeValue::object({}));
        auto state = router->beginExternalLogin();
        if (state.isError())
            return completion(fail(state.releaseError()));
        return completion(BridgeValue::object({ { "state", BridgeValue::string(state.releaseValue()) } }));
    }
    default:
        return completion(fail(BridgeServiceError::uncoded()));
    }
}

} // namespace quorin
