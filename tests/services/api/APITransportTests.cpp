#include "services/api/APITransport.h"
#include "services/api/RestrictedURLSessionLoader.h"
#include "support/LocalHTTPSServer.h"

#include <gtest/gtest.h>

namespace quorin {
namespace {

// A transport to the local server only, trusting its certificate, with a 1,000-byte response limit.
std::unique_ptr<APITransport> transportTo(const testing::LocalHTTPSServer& server, std::string version = "4.2.0")
{
    auto policy = MUST(AllowedOriginPolicy::create({ *Url::parse(server.url("/")) }));
    auto loader = std::make_unique<RestrictedURLSessionLoader>(policy, 1000, glib::retainGRef(server.tlsDatabase()));
    return std::make_unique<APITransport>(policy, std::move(version), 1000, std::move(loader));
}

// The page's request through the bridge port: the response object's JSON text, or the code.
std::string pageRequest(APITransport& transport, const std::string& url, BridgeValue::Object extra = {})
{
    extra.emplace("url", BridgeValue::string(url));
    extra.emplace("method", BridgeValue::string("GET"));
    std::optional<std::string> answer;
    transport.request(BridgeValue::object(std::move(extra)), [&](BridgeServiceResult result) { answer = result ? result->jsonText() : result.error().code.value_or(""); });
    while (!answer)
        g_main_context_iteration(nullptr, TRUE);
    return *answer;
}

std::string okBody(int status, std::string body) { return R"({"body":")" + body + R"(","contentType":"text/plain","status":)" + std::to_string(status) + "}"; }

TEST(APITransport, LoadsFromARealHTTPSServerWithinTheLimits)
{
    testing::LocalHTTPSServer server, otherServer;
    auto transport = transportTo(server);
    const std::pair<std::string, std::string> cases[] = {
        { "/status/404", okBody(404, "status 404") },
        { "/bytes/1000", okBody(200, std::string(1000, 'a')) },
        { "/bytes/1001", "API_RESPONSE_TOO_LARGE" },
        { "/chunked/1000", okBody(200, std::string(1000, 'a')) },
        { "/chunked/1001", "API_RESPONSE_TOO_LARGE" },
        { "/endless", "API_RESPONSE_TOO_LARGE" },
        { "/invalid-utf8", "API_RESPONSE_INVALID" },
        { "/redirect?to=/status/201", okBody(201, "status 201") },
        { "/redirect?to=" + otherServer.url("/status/200"), "API_REDIRECT_DENIED" },
    };
    for (const auto& [path, expected] : cases)
        EXPECT_EQ(pageRequest(*transport, server.url(path)), expected) << path;
    EXPECT_EQ(pageRequest(*transport, server.url("/status/200").replace(0, 5, "http")), "API_ORIGIN_DENIED");
    // Only the redirect inside the origin made a second request; none reached the other port, none went out as http.
    EXPECT_EQ(std::pair(server.requestCount, otherServer.requestCount), std::pair(int(std::size(cases)) + 1, 0));
}

TEST(APITransport, SendsThePagesHeadersAndBodyWithTheLaunchersVersion)
{
    testing::LocalHTTPSServer server;
    for (const auto& [version, sent] : { std::pair("4.2.0-beta.1", "4.2.0-beta.1"), std::pair("4.2 beta", "0") }) {
        auto headers = BridgeValue::object({ { "Authorization", BridgeValue::string("Bearer t") }, { "x-app", BridgeValue::string("page") },
            { "Content-Type", BridgeValue::string("application/json") } });
        auto extra = BridgeValue::Object { { "method", BridgeValue::string("POST") }, { "headers", headers }, { "body", BridgeValue::string("{}") } };
        EXPECT_EQ(pageRequest(*transportTo(server, version), server.url("/status/201"), extra), okBody(201, "status 201"));
        const auto& seen = server.lastRequest;
        EXPECT_EQ(seen.method + " " + seen.body + " " + seen.headers.at("authorization") + " " + seen.headers.at("content-type") + " " + seen.headers.at("x-app"),
            "POST {} Bearer t application/json " + std::string(sent));
    }
}

TEST(APITransport, TimesOutRunsRequestsSideBySideAndCancelsWhatRunsWhenItGoesAway)
{
    testing::LocalHTTPSServer server;
    auto transport = transportTo(server);
    std::vector<std::string> answers;
    for (double timeout : { 0.3, 30.0 }) {
        auto silent = MUST(APIRequest::create(*Url::parse(server.url("/silent")), APIRequest::Method::Get, {}, {}, timeout, transport->policy()));
        transport->execute(silent, [&](Result<APIResponse, APITransportError> result) { answers.push_back(result.error().code()); });
    }
    EXPECT_EQ(pageRequest(*transport, server.url("/status/200")), okBody(200, "status 200"));
    while (answers.empty())
        g_main_context_iteration(nullptr, TRUE);
    transport.reset();
    EXPECT_EQ(answers, (std::vector<std::string> { "API_TIMEOUT", "API_CANCELLED" }));
}

} // namespace
} // namespace quorin
