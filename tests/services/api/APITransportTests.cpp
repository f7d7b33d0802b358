#include "LocalHTTPSServer.h"
#include "services/api/APITransport.h"
#include "services/api/RestrictedURLSessionLoader.h"

#include <gtest/gtest.h>

namespace quorin {
namespace {

using Outcome = Result<APIResponse, APITransportError>;

// A transport to the local server only, trusting its certificate, with a 1,000-byte response limit.
std::unique_ptr<APITransport> transportTo(const testing::LocalHTTPSServer& server, std::string version = "4.2.0")
{
    auto policy = MUST(AllowedOriginPolicy::create({ *Url::parse(server.url("/")) }));
    auto loader = std::make_unique<RestrictedURLSessionLoader>(policy, 1000, glib::retainGRef(server.tlsDatabase()));
    return std::make_unique<APITransport>(policy, std::move(version), 1000, std::move(loader));
}

std::string describe(const Outcome& outcome)
{
    return outcome.isError() ? outcome.error().code() : std::to_string(outcome->statusCode) + " " + std::to_string(outcome->body.size()) + " " + outcome->contentType;
}

void runUntil(const std::function<bool()>& condition)
{
    while (!condition())
        g_main_context_iteration(nullptr, TRUE);
}

// The page's request through the bridge port: the response object's JSON text, or the code.
std::string pageRequest(APITransport& transport, const BridgeValue& request)
{
    std::optional<std::string> answer;
    transport.request(request, [&](BridgeServiceResult result) { answer = result ? result->jsonText() : result.error().code.value_or(""); });
    runUntil([&] { return answer.has_value(); });
    return *answer;
}

BridgeValue get(const std::string& url)
{
    return BridgeValue::object({ { "url", BridgeValue::string(url) }, { "method", BridgeValue::string("GET") } });
}

TEST(APITransport, LoadsFromARealHTTPSServerWithinTheLimits)
{
    testing::LocalHTTPSServer server, otherServer;
    auto transport = transportTo(server);
    const std::pair<std::string, std::string> cases[] = {
        { "/status/200", R"({"body":"status 200","contentType":"text/plain","status":200})" },
        { "/status/404", R"({"body":"status 404","contentType":"text/plain","status":404})" },
        { "/bytes/1000", R"({"body":")" + std::string(1000, 'a') + R"(","contentType":"text/plain","status":200})" },
        { "/bytes/1001", "API_RESPONSE_TOO_LARGE" },
        { "/chunked/1000", R"({"body":")" + std::string(1000, 'a') + R"(","contentType":"text/plain","status":200})" },
        { "/chunked/1001", "API_RESPONSE_TOO_LARGE" },
        { "/endless", "API_RESPONSE_TOO_LARGE" },
        { "/invalid-utf8", "API_RESPONSE_INVALID" },
        { "/redirect?to=/status/201", R"({"body":"status 201","contentType":"text/plain","status":201})" },
        { "/redirect?to=" + otherServer.url("/status/200"), "API_REDIRECT_DENIED" },
    };
    for (const auto& [path, expected] : cases)
        EXPECT_EQ(pageRequest(*transport, get(server.url(path))), expected) << path;
    EXPECT_EQ(otherServer.requestCount(), 0);

    auto plain = server.url("/status/200").replace(0, 5, "http");
    EXPECT_EQ(pageRequest(*transport, get(plain)), "API_ORIGIN_DENIED");
    EXPECT_EQ(server.requestCount(), std::size(cases) + 1); // the redirect inside the origin made two
}

TEST(APITransport, SendsThePagesHeadersAndBodyWithTheLaunchersVersion)
{
    testing::LocalHTTPSServer server;
    for (const auto& [version, sent] : { std::pair("4.2.0-beta.1", "4.2.0-beta.1"), std::pair("4.2 beta", "0") }) {
        auto transport = transportTo(server, version);
        auto headers = BridgeValue::object({ { "Authorization", BridgeValue::string("Bearer t") }, { "x-app", BridgeValue::string("page") },
            { "Content-Type", BridgeValue::string("application/json") } });
        auto request = BridgeValue::object({ { "url", BridgeValue::string(server.url("/status/201")) }, { "method", BridgeValue::string("POST") },
            { "headers", headers }, { "body", BridgeValue::string("{}") } });
        EXPECT_EQ(pageRequest(*transport, request), R"({"body":"status 201","contentType":"text/plain","status":201})");
        const auto& seen = server.lastRequest();
        EXPECT_EQ(seen.method + " " + seen.body + " " + seen.headers.at("authorization") + " " + seen.headers.at("content-type") + " " + seen.headers.at("x-app"),
            "POST {} Bearer t application/json " + std::string(sent));
    }
}

TEST(APITransport, TimesOutRunsRequestsSideBySideAndCancelsWhatRunsWhenItGoesAway)
{
    testing::LocalHTTPSServer server;
    auto transport = transportTo(server);
    auto silent = [&](double timeout) { return MUST(APIRequest::create(*Url::parse(server.url("/silent")), APIRequest::Method::Get, {}, {}, timeout, transport->policy())); };
    std::vector<std::string> answers;
    transport->execute(silent(0.3), [&](Outcome outcome) { answers.push_back("silent " + describe(outcome)); });
    transport->execute(silent(30), [&](Outcome outcome) { answers.push_back("left " + describe(outcome)); });
    EXPECT_EQ(pageRequest(*transport, get(server.url("/status/200"))), R"({"body":"status 200","contentType":"text/plain","status":200})");
    runUntil([&] { return answers.size() == 1; });
    transport.reset();
    EXPECT_EQ(answers, (std::vector<std::string> { "silent API_TIMEOUT", "left API_CANCELLED" }));
}

} // namespace
} // namespace quorin
