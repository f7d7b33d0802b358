#include "LauncherBridgeHost.h"

#include <utility>

namespace quorin {

namespace {

constexpr std::string_view sourceDeniedCode = "BRIDGE_SOURCE_DENIED";
constexpr std::string_view requestInvalidCode = "BRIDGE_REQUEST_INVALID";

} // namespace

LauncherBridgeHost::LauncherBridgeHost(std::shared_ptr<BridgeDispatcher> dispatcher, const Url& allowedDocumentRoot)
    : m_dispatcher(std::move(dispatcher))
    , m_allowedDocumentRoot(allowedDocumentRoot.standardized())
    , m_allowedFolder(LocalFolder::of(m_allowedDocumentRoot))
{
}

void LauncherBridgeHost::handleMessage(std::string_view bodyJSONText, bool isMainFrame, std::optional<std::string> documentURL, Reply reply) const
{
    if (!isAllowedSource(isMainFrame, documentURL)) {
        reply(BridgeResponse::failure(std::string(BridgeResponse::invalidRequestID), sourceDeniedCode).replyJSONText());
        return;
    }
    auto request = BridgeRequest::decode(bodyJSONText);
    if (request.isError()) {
        reply(BridgeResponse::failure(std::string(BridgeResponse::invalidRequestID), requestInvalidCode).replyJSONText());
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
