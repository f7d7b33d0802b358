#pragma once

// The interface of the bridge service: one asynchronous operation per request.

#include "BridgeRequest.h"
#include "BridgeValue.h"
#include "core/CodedError.h"
#include "core/Result.h"

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace quorin {

// An error raised by a bridge method: a coded error keeps its code, anything else has none
// and reaches the page as "BRIDGE_FAILED".
struct BridgeServiceError {
    std::optional<std::string> code;

    template<CodedError E>
    static BridgeServiceError coded(const E& error) { return { std::string(error.code()) }; }
    static BridgeServiceError withCode(std::string_view code) { return { std::string(code) }; }
    static BridgeServiceError uncoded() { return { std::nullopt }; }

    bool operator==(const BridgeServiceError&) const = default;
};

using BridgeServiceResult = Result<BridgeValue, BridgeServiceError>;
// Called exactly once, on the main thread; may be called after handle() returns.
using BridgeServiceCompletion = std::function<void(BridgeServiceResult)>;

class LauncherBridgeServicing {
public:
    virtual ~LauncherBridgeServicing() = default;
    // Main thread only.
    virtual void handle(const BridgeRequest& request, BridgeServiceCompletion completion) = 0;
};

} // namespace quorin
