#include "RecordingBridgeService.h"
#include "bridge/BridgeDispatcher.h"

#include <gtest/gtest.h>

namespace quorin {
namespace {

using testing::answering;
using testing::RecordingBridgeService;

BridgeRequest requestWithID(std::string id, BridgeMethod method = BridgeMethod::GetAppInfo)
{
    return BridgeRequest(std::move(id), method, { BridgeValue::string("argument") });
}

struct Dispatched {
    std::vector<BridgeResponse> responses;
    BridgeDispatcher::Completion collect()
    {
        return [this](BridgeResponse response) { responses.push_back(std::move(response)); };
    }
};

BridgeServiceResult codedFailure(std::string code)
{
    return fail(BridgeServiceError { std::move(code) });
}

struct MappingCase {
    const char* name;
    BridgeServiceResult result;
    std::optional<BridgeValue> value;
    std::optional<std::string> code;
};

TEST(BridgeDispatcher, MapsServiceResultsToResponses)
{
    const MappingCase cases[] = {
        { "value", BridgeValue::string("v"), BridgeValue::string("v"), std::nullopt },
        { "null value", BridgeValue::null(), BridgeValue::null(), std::nullopt },
        { "coded upper", codedFailure("SAVED_ACCOUNTS_NOT_FOUND"), std::nullopt, "SAVED_ACCOUNTS_NOT_FOUND" },
        { "coded lower", codedFailure("api_timeout"), std::nullopt, "BRIDGE_FAILED" },
        { "uncoded", fail(BridgeServiceError::uncoded()), std::nullopt, "BRIDGE_FAILED" },
    };
    for (const auto& testCase : cases) {
        SCOPED_TRACE(testCase.name);
        BridgeDispatcher dispatcher(std::make_shared<RecordingBridgeService>(answering(testCase.result)));
        Dispatched dispatched;
        dispatcher.dispatch(requestWithID("req-7"), dispatched.collect());
        ASSERT_EQ(dispatched.responses.size(), 1u);
        const auto& response = dispatched.responses.front();
        EXPECT_EQ(response.requestID(), "req-7");
        EXPECT_EQ(response.value(), testCase.value);
        EXPECT_EQ(response.errorCode(), testCase.code);
    }
}

TEST(BridgeDispatcher, HandsTheRequestToTheServiceUnchanged)
{
    auto service = std::make_shared<RecordingBridgeService>();
    BridgeDispatcher dispatcher(service);
    auto request = requestWithID("abc", BridgeMethod::SavedAccountsRemove);
    dispatcher.dispatch(request, [](BridgeResponse) {});
    ASSERT_EQ(service->requests.size(), 1u);
    EXPECT_EQ(service->requests.front(), request);
}

TEST(BridgeDispatcher, IgnoresASecondCompletion)
{
    BridgeDispatcher dispatcher(std::make_shared<RecordingBridgeService>([](const BridgeRequest&, BridgeServiceCompletion completion) {
        auto copy = completion;
        completion(BridgeValue::string("first"));
        copy(codedFailure("GAME_LATE"));
        completion(BridgeValue::string("second"));
    }));
    Dispatched dispatched;
    dispatcher.dispatch(requestWithID("twice"), dispatched.collect());
    ASSERT_EQ(dispatched.responses.size(), 1u);
    EXPECT_EQ(dispatched.responses.front().value(), BridgeValue::string("first"));
}

TEST(BridgeDispatcher, AnswersOnceWhenTheServiceDropsItsCompletion)
{
    BridgeDispatcher dispatcher(std::make_shared<RecordingBridgeService>([](const BridgeRequest&, BridgeServiceCompletion) {}));
    Dispatched dispatched;
    dispatcher.dispatch(requestWithID("dropped"), dispatched.collect());
    ASSERT_EQ(dispatched.responses.size(), 1u);
    EXPECT_EQ(dispatched.responses.front(), BridgeResponse::failure("dropped", "BRIDGE_FAILED"));
}

TEST(BridgeDispatcher, AnswersOnceWhenAHeldCompletionIsReleasedUnanswered)
{
    auto service = std::make_shared<RecordingBridgeService>();
    BridgeDispatcher dispatcher(service);
    Dispatched dispatched;
    dispatcher.dispatch(requestWithID("released"), dispatched.collect());
    auto extraCopy = service->held.front();
    service->held.clear();
    EXPECT_TRUE(dispatched.responses.empty()) << "a copy is still alive";

    extraCopy = nullptr;
    ASSERT_EQ(dispatched.responses.size(), 1u);
    EXPECT_EQ(dispatched.responses.front(), BridgeResponse::failure("released", "BRIDGE_FAILED"));
}

TEST(BridgeDispatcher, AnswersHeldRequestsWhenTheServiceGoesAway)
{
    auto service = std::make_shared<RecordingBridgeService>();
    auto dispatcher = std::make_unique<BridgeDispatcher>(service);
    Dispatched dispatched;
    dispatcher->dispatch(requestWithID("a"), dispatched.collect());
    dispatcher->dispatch(requestWithID("b"), dispatched.collect());
    dispatcher.reset();
    service.reset();
    ASSERT_EQ(dispatched.responses.size(), 2u);
    EXPECT_EQ(dispatched.responses[0], BridgeResponse::failure("a", "BRIDGE_FAILED"));
    EXPECT_EQ(dispatched.responses[1], BridgeResponse::failure("b", "BRIDGE_FAILED"));
}

TEST(BridgeDispatcher, CompletesRequestsInWhateverOrderTheServiceAnswers)
{
    auto service = std::make_shared<RecordingBridgeService>();
    BridgeDispatcher dispatcher(service);
    Dispatched dispatched;
    dispatcher.dispatch(requestWithID("slow"), dispatched.collect());
    dispatcher.dispatch(requestWithID("fast"), dispatched.collect());
    dispatcher.dispatch(requestWithID("failing"), dispatched.collect());
    ASSERT_EQ(service->held.size(), 3u);

    service->held[1](BridgeValue::string("fast value"));
    service->held[2](codedFailure("API_OFFLINE"));
    service->held[0](BridgeValue::string("slow value"));

    ASSERT_EQ(dispatched.responses.size(), 3u);
    EXPECT_EQ(dispatched.responses[0], BridgeResponse::success("fast", BridgeValue::string("fast value")));
    EXPECT_EQ(dispatched.responses[1], BridgeResponse::failure("failing", "API_OFFLINE"));
    EXPECT_EQ(dispatched.responses[2], BridgeResponse::success("slow", BridgeValue::string("slow value")));
}

TEST(BridgeDispatcher, WithoutAServiceAnswersBridgeFailed)
{
    BridgeDispatcher dispatcher(nullptr);
    Dispatched dispatched;
    dispatcher.dispatch(requestWithID("none"), dispatched.collect());
    ASSERT_EQ(dispatched.responses.size(), 1u);
    EXPECT_EQ(dispatched.responses.front(), BridgeResponse::failure("none", "BRIDGE_FAILED"));
}

} // namespace
} // namespace quorin
