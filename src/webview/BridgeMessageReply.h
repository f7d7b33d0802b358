#pragma once

// Platform code. The answer to one bridge request received from the web-process extension.
// It answers exactly once: the first send wins, later ones are ignored, and a reply that is
// dropped unanswered answers BRIDGE_FAILED from its destructor so the page's promise settles.
// Main thread only (the thread of the web view's main loop).

#include "core/glib/GRef.h"

#include <webkit/webkit.h>

#include <string>
#include <string_view>

namespace quorin {

class BridgeMessageReply {
public:
    // Reply texts of the transport itself: a failure, and a message the bridge cannot read.
    static std::string failedReplyJSON();
    static std::string invalidRequestReplyJSON();

    // Keeps a reference to the received message until it is answered.
    explicit BridgeMessageReply(WebKitUserMessage* message);
    ~BridgeMessageReply();
    BridgeMessageReply(const BridgeMessageReply&) = delete;
    BridgeMessageReply& operator=(const BridgeMessageReply&) = delete;

    // Sends the reply JSON text unless already answered. Text that is not UTF-8 cannot travel
    // as a string parameter and is answered as BRIDGE_FAILED instead.
    void send(std::string_view replyJSON);

private:
    glib::GRef<WebKitUserMessage> m_message;
};

} // namespace quorin
