#include "LauncherBridgeHost.h"

#include <utility>

namespace quorin {

namespace {

constexpr std::string_view sourceDeniedCode = "BRIDGE_SOURCE_DENIED";

void replyFailure(const LauncherBridgeHost::Reply& reply, std::string_view code)
{
    reply(BridgeResponse::failure(std::string(BridgeResponse::invalidRequestID), code).replyJSONText());
}

} // namespace

LauncherBridgeHost::LauncherBridgeHost(std::shared_ptr<BridgeDispatcher> dispatcher, const Url& allowedDocumentRoot)
    : m_dispatcher(std::move(dispatcher))
    , m_allowedFolder(LocalFolder::of(allowedDocumentRoot.standardized()))
{
}

void LauncherBridgeHost::handleMessage(std::string_view bodyJSONText, bool isMainFrame, std::optional<std::string> documentURL, Reply reply) const
{
    if (!isAllowedSource(isMainFrame, documentURL)) {
        replyFailure(reply, sourceDeniedCode);
        return;
    }
    auto request = BridgeRequest::decode(bodyJSONText);
    if (request.isError()) {
        replyFailure(reply, request.error().code());
        return;
    }
    m_dispatcher->dispatch(request.value(), [reply = std::move(reply)](BridgeResponse response) {
        reply(response.replyJSONText());
    });
}

bool LauncherBridgeHost::isAllowedSource(bool isMainFrame, const std::optional<std::string>& documentURL) const
{
    return isMainFrame && documentURL && isAllowedDocument(*documentURL);
}

bool LauncherBridgeHost::isAllowedDocument(std::string_view documentURL) const
{
    auto url = Url::parse(documentURL);
    return url && m_allowedFolder && m_allowedFolder->contains(*url);
}

} // namespace quorin
