#include "RecordingBridgeService.h"
#include "bridge/BridgeDispatcher.h"

#include <gtest/gtest.h>

namespace quorin {
namespace {

using testing::RecordingBridgeService;
using Behaviour = RecordingBridgeService::Behaviour;

TEST(BridgeDispatcher, AnswersEachRequestExactlyOnce)
{
    auto answering = [](BridgeServiceResult result) -> Behaviour { return [result](const BridgeRequest&, BridgeServiceCompletion completion) { completion(result); }; };
    const struct { const char* name; Behaviour behaviour; BridgeResponse expected; } cases[] = { // behaviour none: no service at all
        { "value", answering(BridgeValue::string("v")), BridgeResponse::success("r", BridgeValue::string("v")) },
        { "coded error", answering(fail(BridgeServiceError::withCode("SAVED_ACCOUNTS_NOT_FOUND"))), BridgeResponse::failure("r", "SAVED_ACCOUNTS_NOT_FOUND") },
        { "answered twice, once through a copy",
            [](const BridgeRequest&, BridgeServiceCompletion completion) { auto copy = completion; completion(BridgeValue::string("first")); copy(fail(BridgeServiceError::withCode("GAME_LATE"))); },
            BridgeResponse::success("r", BridgeValue::string("first")) },
        { "no service", nullptr, BridgeResponse::failure("r", "BRIDGE_FAILED") },
    };
    for (const auto& testCase : cases) {
        std::vector<BridgeResponse> responses;
        auto service = testCase.behaviour ? std::make_shared<RecordingBridgeService>(testCase.behaviour) : nullptr;
        BridgeDispatcher(service).dispatch(BridgeRequest("r", BridgeMethod::GetAppInfo, {}), [&](BridgeResponse response) { responses.push_back(std::move(response)); });
        EXPECT_EQ(responses, std::vector { testCase.expected }) << testCase.name;
    }
}

TEST(BridgeDispatcher, AnswersAHeldRequestWhenItsLastCompletionGoesUnanswered)
{
    auto service = std::make_shared<RecordingBridgeService>();
    std::vector<BridgeResponse> responses;
    BridgeDispatcher(service).dispatch(BridgeRequest("released", BridgeMethod::GetAppInfo, {}), [&](BridgeResponse response) { responses.push_back(std::move(response)); });
    auto copy = service->held.front();
    service->held.clear();
    EXPECT_TRUE(responses.empty()) << "a copy is still alive";
    copy = nullptr;
    EXPECT_EQ(responses, std::vector { BridgeResponse::failure("released", "BRIDGE_FAILED") });
}

} // namespace
} // namespace quorin
