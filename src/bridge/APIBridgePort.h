#pragma once

// What the bridge service needs of the API transport: one page request, checked against the
// allowed origin and carried out. Main thread only.

#include "LauncherBridgeServicing.h"

#include <string_view>

namespace quorin {

class APIBridgePort {
public:
    virtual ~APIBridgePort() = default;
    // The answer while there is no transport, and to a call without exactly one argument.
    static constexpr std::string_view unavailableCode = "API_UNAVAILABLE";
    // Completes with the response object ("status", "body", "contentType") or the API error.
    virtual void request(const BridgeValue& requestObject, BridgeServiceCompletion completion) = 0;
};

} // namespace quorin
