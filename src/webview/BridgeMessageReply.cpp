#include "webview/BridgeMessageReply.h"

#include <string>
#include <utility>

namespace quorin {

BridgeMessageReply::BridgeMessageReply(WebKitUserMessage* message)
    : m_message(glib::GRef<WebKitUserMessage>::retain(message))
{
}

BridgeMessageReply::~BridgeMessageReply()
{
    send(failedReplyJSON);
}

void BridgeMessageReply::send(std::string_view replyJSON)
{
    auto message = std::exchange(m_message, nullptr);
    if (!message)
        return;
    // Embedded NUL bytes fail validation too, so the C string below is the whole text.
    if (!g_utf8_validate(replyJSON.data(), static_cast<gssize>(replyJSON.size()), nullptr))
        replyJSON = failedReplyJSON;
    std::string text(replyJSON);
    glib::GVariantPtr parameters(g_variant_ref_sink(g_variant_new_string(text.c_str())));
    auto reply = glib::GRef<WebKitUserMessage>::adopt(WEBKIT_USER_MESSAGE(
        g_object_ref_sink(webkit_user_message_new(webkit_user_message_get_name(message.get()), parameters.get()))));
    webkit_user_message_send_reply(message.get(), reply.get());
}

} // namespace quorin
