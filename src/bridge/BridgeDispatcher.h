#pragma once

// Turns each request into exactly one response: the service's value, its sanitised code, or
// "BRIDGE_FAILED". Main thread only; holds no per-request state.

#include "BridgeRequest.h"
#include "BridgeResponse.h"
#include "LauncherBridgeServicing.h"

#include <functional>
#include <memory>

namespace quorin {

class BridgeDispatcher {
public:
    using Completion = std::function<void(BridgeResponse)>;

    explicit BridgeDispatcher(std::shared_ptr<LauncherBridgeServicing> service);

    // Calls `completion` exactly once, possibly after returning: a second completion from the
    // service is ignored, and a completion the service drops unanswered answers "BRIDGE_FAILED".
    // Requests are independent, so their completions may come back in any order.
    void dispatch(const BridgeRequest& request, Completion completion) const;

private:
    std::shared_ptr<LauncherBridgeServicing> m_service;
};

} // namespace quorin
