#include "RecordingBridgeService.h"
#include "bridge/BridgeDispatcher.h"

#include <gtest/gtest.h>

namespace quorin {
namespace {

using testing::RecordingBridgeService;
using Behaviour = RecordingBridgeService::Behaviour;

BridgeRequest requestWithID(std::string id)
{
    return BridgeRequest(std::move(id), BridgeMethod::GetAppInfo, {});
}

struct Dispatched {
    std::vector<BridgeResponse> responses;
    BridgeDispatcher::Completion collect()
    {
        return [this](BridgeResponse response) { responses.push_back(std::move(response)); };
    }
};

std::shared_ptr<RecordingBridgeService> serviceWith(Behaviour behaviour = nullptr)
{
    return std::make_shared<RecordingBridgeService>(std::move(behaviour));
}

TEST(BridgeDispatcher, AnswersEachRequestExactlyOnce)
{
    auto answering = [](BridgeServiceResult result) { return [result](const BridgeRequest&, BridgeServiceCompletion completion) { completion(result); }; };
    const struct {
        const char* name;
        std::shared_ptr<RecordingBridgeService> service;
        BridgeResponse expected;
    } cases[] = {
        { "value", serviceWith(answering(BridgeValue::string("v"))), BridgeResponse::success("r", BridgeValue::string("v")) },
        { "coded error", serviceWith(answering(fail(BridgeServiceError::withCode("SAVED_ACCOUNTS_NOT_FOUND")))),
            BridgeResponse::failure("r", "SAVED_ACCOUNTS_NOT_FOUND") },
        { "uncoded error", serviceWith(answering(fail(BridgeServiceError::uncoded()))), BridgeResponse::failure("r", "BRIDGE_FAILED") },
        { "completion dropped", serviceWith([](const BridgeRequest&, BridgeServiceCompletion) {}), BridgeResponse::failure("r", "BRIDGE_FAILED") },
        { "answered twice, once through a copy", serviceWith([](const BridgeRequest&, BridgeServiceCompletion completion) {
              auto copy = completion;
              completion(BridgeValue::string("first"));
              copy(fail(BridgeServiceError::withCode("GAME_LATE")));
          }),
            BridgeResponse::success("r", BridgeValue::string("first")) },
        { "no service", nullptr, BridgeResponse::failure("r", "BRIDGE_FAILED") },
    };
    for (const auto& testCase : cases) {
        SCOPED_TRACE(testCase.name);
        Dispatched dispatched;
        BridgeDispatcher(testCase.service).dispatch(requestWithID("r"), dispatched.collect());
        EXPECT_EQ(dispatched.responses, std::vector { testCase.expected });
    }
}

TEST(BridgeDispatcher, AnswersAHeldRequestWhenItsLastCompletionGoesUnanswered)
{
    auto service = serviceWith();
    Dispatched dispatched;
    BridgeDispatcher(service).dispatch(requestWithID("released"), dispatched.collect());
    auto copy = service->held.front();
    service->held.clear();
    EXPECT_TRUE(dispatched.responses.empty()) << "a copy is still alive";

    copy = nullptr;
    EXPECT_EQ(dispatched.responses, std::vector { BridgeResponse::failure("released", "BRIDGE_FAILED") });
}

TEST(BridgeDispatcher, CompletesRequestsInWhateverOrderTheServiceAnswers)
{
    auto service = serviceWith();
    BridgeDispatcher dispatcher(service);
    Dispatched dispatched;
    dispatcher.dispatch(requestWithID("slow"), dispatched.collect());
    dispatcher.dispatch(requestWithID("fast"), dispatched.collect());
    service->held[1](BridgeValue::string("fast value"));
    service->held[0](fail(BridgeServiceError::withCode("API_OFFLINE")));

    EXPECT_EQ(dispatched.responses,
        (std::vector { BridgeResponse::success("fast", BridgeValue::string("fast value")), BridgeResponse::failure("slow", "API_OFFLINE") }));
}

} // namespace
} // namespace quorin
