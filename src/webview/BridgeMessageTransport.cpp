#include "webview/BridgeMessageTransport.h"

#include "bridge/BridgePageHandler.h"
#include "webview/BridgeMessageReply.h"

#include <memory>
#include <utility>

namespace quorin {

BridgeMessageTransport::BridgeMessageTransport(WebKitWebView* webView, Handler handler)
    : m_handler(std::move(handler))
    , m_connection(glib::SignalConnection::connect(webView, "user-message-received", G_CALLBACK(onUserMessageReceived), this))
{
}

std::optional<BridgeMessageTransport::Request> BridgeMessageTransport::decode(GVariant* parameters)
{
    if (!parameters || !g_variant_is_of_type(parameters, G_VARIANT_TYPE("(sbs)")))
        return std::nullopt;
    const char* body = nullptr;
    gboolean isMainFrame = FALSE;
    const char* uri = nullptr;
    g_variant_get(parameters, "(&sb&s)", &body, &isMainFrame, &uri);
    Request request { body, isMainFrame == TRUE, std::nullopt };
    if (*uri)
        request.documentURL = uri;
    return request;
}

gboolean BridgeMessageTransport::onUserMessageReceived(WebKitWebView*, WebKitUserMessage* message, gpointer self)
{
    return static_cast<BridgeMessageTransport*>(self)->receive(message) ? TRUE : FALSE;
}

bool BridgeMessageTransport::receive(WebKitUserMessage* message)
{
    const char* name = webkit_user_message_get_name(message);
    if (!name || name != bridgeUserMessageName)
        return false;
    auto reply = std::make_shared<BridgeMessageReply>(message);
    auto request = decode(webkit_user_message_get_parameters(message));
    if (!request) {
        reply->send(BridgeMessageReply::invalidRequestReplyJSON());
        return true;
    }
    if (!m_handler)
        return true; // the reply answers BRIDGE_FAILED as it goes
    m_handler(std::move(request->body), request->isMainFrame, std::move(request->documentURL),
        [reply](std::string replyJSON) { reply->send(replyJSON); });
    return true;
}

} // namespace quorin
