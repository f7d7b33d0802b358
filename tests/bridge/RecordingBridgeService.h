#pragma once

// A bridge service for tests: records each request and either runs a scripted behaviour or
// holds the completion so the test decides when (and whether) to answer.

#include "bridge/LauncherBridgeServicing.h"

#include <functional>
#include <utility>
#include <vector>

namespace quorin::testing {

class RecordingBridgeService final : public LauncherBridgeServicing {
public:
    using Behaviour = std::function<void(const BridgeRequest&, BridgeServiceCompletion)>;

    RecordingBridgeService() = default;
    explicit RecordingBridgeService(Behaviour behaviour)
        : m_behaviour(std::move(behaviour))
    {
    }

    void handle(const BridgeRequest& request, BridgeServiceCompletion completion) override
    {
        requests.push_back(request);
        if (m_behaviour)
            m_behaviour(request, std::move(completion));
        else
            held.push_back(std::move(completion));
    }

    std::vector<BridgeRequest> requests;
    std::vector<BridgeServiceCompletion> held;

private:
    Behaviour m_behaviour;
};

inline RecordingBridgeService::Behaviour answering(BridgeServiceResult result)
{
    return [result](const BridgeRequest&, BridgeServiceCompletion completion) { completion(result); };
}

} // namespace quorin::testing
