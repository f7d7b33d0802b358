#include "webview/BridgeMessageReply.h"

#include "bridge/BridgeRequestError.h"
#include "bridge/BridgeResponse.h"
#include "core/CodedError.h"

#include <utility>

namespace quorin {

std::string BridgeMessageReply::failedReplyJSON()
{
    return BridgeResponse::failure(std::string(BridgeResponse::invalidRequestID), fallbackErrorCode).replyJSONText();
}

std::string BridgeMessageReply::invalidRequestReplyJSON()
{
    // Parameters that do not carry a request are answered as the parser answers a bad body.
    auto code = BridgeRequestError::of(BridgeRequestError::Case::InvalidBody).code();
    return BridgeResponse::failure(std::string(BridgeResponse::invalidRequestID), code).replyJSONText();
}

BridgeMessageReply::BridgeMessageReply(WebKitUserMessage* message)
    : m_message(glib::GRef<WebKitUserMessage>::retain(message))
{
}

BridgeMessageReply::~BridgeMessageReply()
{
    if (m_message)
        send(failedReplyJSON());
}

void BridgeMessageReply::send(std::string_view replyJSON)
{
    auto message = std::exchange(m_message, nullptr);
    if (!message)
        return;
    // Embedded NUL bytes fail validation too, so the C string below is the whole text.
    bool isUTF8 = g_utf8_validate(replyJSON.data(), static_cast<gssize>(replyJSON.size()), nullptr);
    std::string text = isUTF8 ? std::string(replyJSON) : failedReplyJSON();
    auto parameters = glib::GRef<GVariant>::adoptFloating(g_variant_new_string(text.c_str()));
    auto reply = glib::GRef<WebKitUserMessage>::adopt(WEBKIT_USER_MESSAGE(
        g_object_ref_sink(webkit_user_message_new(webkit_user_message_get_name(message.get()), parameters.get()))));
    webkit_user_message_send_reply(message.get(), reply.get());
}

} // namespace quorin
