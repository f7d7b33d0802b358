#pragma once

#include "BridgeValue.h"

#include <nlohmann/json_fwd.hpp>
#include <optional>
#include <string>

namespace quorin {

class BridgeResponse {
public:
    inline static constexpr std::string_view invalidRequestID = "invalid";

    static BridgeResponse success(std::string requestID, BridgeValue value);
    // The code is sanitised: anything but 1-64 bytes of A-Z, 0-9, '_' becomes "BRIDGE_FAILED".
    static BridgeResponse failure(std::string requestID, std::string_view code);

    const std::string& requestID() const { return m_requestID; }
    const std::optional<BridgeValue>& value() const { return m_value; }
    const std::optional<std::string>& errorCode() const { return m_errorCode; }

    // {"ok": true, "requestId": ..., "value": ...} or {"ok": false, "requestId": ..., "error": {"code": ...}}
    nlohmann::json replyObject() const;
    std::string replyJSONText() const;

    bool operator==(const BridgeResponse&) const = default;

private:
    BridgeResponse(std::string requestID, std::optional<BridgeValue> value, std::optional<std::string> errorCode);

    std::string m_requestID;
    std::optional<BridgeValue> m_value;
    std::optional<std::string> m_errorCode;
};

} // namespace quorin
