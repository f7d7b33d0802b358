#pragma once

// Platform code. Receives the bridge requests that the web-process extension sends from any
// frame of one web view and hands each one, with its frame's facts, to a handler. No script
// message handler is involved. Main thread only.

#include "core/glib/SignalConnection.h"

#include <webkit/webkit.h>

#include <functional>
#include <optional>
#include <string>

namespace quorin {

class BridgeMessageTransport {
public:
    // Answers one request; only the first call counts, and a reply dropped uncalled answers
    // BRIDGE_FAILED. May be called later, from any main-loop callback.
    using Reply = std::function<void(std::string replyJSON)>;
    using Handler = std::function<void(std::string body, bool isMainFrame, std::optional<std::string> documentURL, Reply reply)>;

    // One request as the extension sends it: parameters "(sbs)".
    struct Request {
        std::string body;
        bool isMainFrame { false };
        std::optional<std::string> documentURL; // none when the frame had no URI
        bool operator==(const Request&) const = default;
    };

    // Listens to the view's "user-message-received" until this object is destroyed.
    // The view is not kept alive by the transport.
    BridgeMessageTransport(WebKitWebView* webView, Handler handler);
    BridgeMessageTransport(const BridgeMessageTransport&) = delete;
    BridgeMessageTransport& operator=(const BridgeMessageTransport&) = delete;

    // Reads a request from message parameters; none when they are missing or of another type.
    static std::optional<Request> decode(GVariant* parameters);

private:
    static gboolean onUserMessageReceived(WebKitWebView*, WebKitUserMessage*, gpointer self);
    bool receive(WebKitUserMessage* message);

    Handler m_handler;
    // Declared last so it disconnects before the handler goes away.
    glib::SignalConnection m_connection;
};

} // namespace quorin
