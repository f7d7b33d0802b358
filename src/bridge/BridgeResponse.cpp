#include "BridgeResponse.h"

#include "core/CodedError.h"

#include <nlohmann/json.hpp>

namespace quorin {

BridgeResponse::BridgeResponse(std::string requestID, std::optional<BridgeValue> value, std::optional<std::string> errorCode)
    : m_requestID(std::move(requestID))
    , m_value(std::move(value))
    , m_errorCode(std::move(errorCode))
{
}

BridgeResponse BridgeResponse::success(std::string requestID, BridgeValue value)
{
    return BridgeResponse(std::move(requestID), std::move(value), std::nullopt);
}

BridgeResponse BridgeResponse::failure(std::string requestID, std::string_view code)
{
    return BridgeResponse(std::move(requestID), std::nullopt, sanitizedCode(code));
}

nlohmann::json BridgeResponse::replyObject() const
{
    nlohmann::json reply = {
        { "ok", !m_errorCode.has_value() },
        { "requestId", m_requestID },
    };
    if (m_value)
        reply["value"] = m_value->toJson();
    if (m_errorCode)
        reply["error"] = { { "code", *m_errorCode } };
    return reply;
}

std::string BridgeResponse::replyJSONText() const
{
    // A request id made by the host could hold invalid UTF-8; never throw on it.
    return replyObject().dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

} // namespace quorin
