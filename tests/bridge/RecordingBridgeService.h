#pragma once

// A bridge service for tests: records each request and either runs the behaviour it was
// given or holds the completion so the test decides when (and whether) to answer.

#include "bridge/LauncherBridgeServicing.h"

#include <functional>
#include <vector>

namespace quorin::testing {

struct RecordingBridgeService final : LauncherBridgeServicing {
    using Behaviour = std::function<void(const BridgeRequest&, BridgeServiceCompletion)>;

    explicit RecordingBridgeService(Behaviour behaviourToRun = nullptr) : behaviour(std::move(behaviourToRun)) { }

    void handle(const BridgeRequest& request, BridgeServiceCompletion completion) override
    {
        requests.push_back(request);
        if (behaviour)
            return behaviour(request, std::move(completion));
        held.push_back(std::move(completion));
    }

    Behaviour behaviour;
    std::vector<BridgeRequest> requests;
    std::vector<BridgeServiceCompletion> held;
};

} // namespace quorin::testing
