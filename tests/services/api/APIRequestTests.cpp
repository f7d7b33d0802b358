#include "services/api/APIHeaderText.h"
#include "services/api/APIRequest.h"
#include "services/api/APIResponse.h"
#include "bridge/BridgeRequest.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cmath>

namespace quorin {
namespace {

// The page's request object as the bridge delivers it.
BridgeValue bridgeValue(const nlohmann::json& json) { return BridgeRequest::decode(R"({"schemaVersion":1,"requestId":"r","method":"api.request","arguments":[)" + json.dump() + "]}")->arguments().front(); }

Result<AllowedOriginPolicy, APITransportError> policy(const std::vector<std::string>& origins)
{
    std::vector<Url> urls;
    std::ranges::transform(origins, std::back_inserter(urls), [](const std::string& origin) { return *Url::parse(origin); });
    return AllowedOriginPolicy::create(urls);
}

// The request as sent ("POST https://a/x authorization=t body=4 timeout=30"), or the error's code.
std::string outcome(const Result<APIRequest, APITransportError>& request)
{
    if (request.isError())
        return request.error().code();
    std::string text = std::string(APIRequest::wireString(request->method())) + " " + request->url().string();
    for (const auto& [name, value] : request->headers())
        text += " " + name + "=" + value;
    return text + (request->body() ? " body=" + std::to_string(request->body()->size()) : "") + " timeout=" + std::to_string(int(request->timeoutSeconds()));
}

TEST(AllowedOriginPolicy, TakesOneToSixteenBareHTTPSOrigins)
{
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        { {}, "API_REQUEST_INVALID" }, { std::vector<std::string>(17, "https://a"), "API_REQUEST_INVALID" }, { { "https://a", "http://a" }, "API_ORIGIN_DENIED" },
        { { "https://a/x" }, "API_ORIGIN_DENIED" }, { { "https://a/?q" }, "API_ORIGIN_DENIED" }, { { "https://u@a" }, "API_ORIGIN_DENIED" }, { { "https://a:0" }, "API_ORIGIN_DENIED" },
    };
    for (const auto& [origins, code] : cases)
        EXPECT_EQ(policy(origins).error().code(), code) << origins.size();
    EXPECT_EQ(policy({ "https://A:443/", "https://a" }).value(), policy({ "https://a" }).value());
}

TEST(APIRequest, DecodesThePagesRequestInAFixedOrderOfChecks)
{
    auto api = policy({ "https://api.test", "https://127.0.0.1:8443/" }).value();
    std::string longPath(4096 - 17, 'p'); // "https://api.test/" + longPath is 4,096 bytes
    // A GET of `url` with the members of `extra`.
    auto get = [](const std::string& url, nlohmann::json extra = nlohmann::json::object()) {
        extra.update({ { "url", url }, { "method", "GET" } });
        return extra;
    };
    const std::string a = "https://api.test/a";
    const std::pair<nlohmann::json, std::string> cases[] = {
        { "GET", "API_REQUEST_INVALID" },
        { { { "url", a }, { "method", "get" } }, "API_METHOD_DENIED" },
        { get(a, { { "timeout", 5 } }), "API_REQUEST_INVALID" },
        { { { "url", 1 }, { "method", "FETCH" }, { "timeout", 5 } }, "API_METHOD_DENIED" },
        { get(""), "API_REQUEST_INVALID" },
        { get("https://api.test/" + longPath + "p"), "API_REQUEST_INVALID" },
        { get("https://api.test/" + longPath), "GET https://api.test/" + longPath + " timeout=30" },
        { get("https://api.test/ " + longPath.substr(1)), "API_ORIGIN_DENIED" },
        { get("api.test/a"), "API_REQUEST_INVALID" },
        { { { "url", a } }, "API_REQUEST_INVALID" },
        { { { "url", a }, { "method", "POST" }, { "body", 1 } }, "API_REQUEST_INVALID" },
        { get(a, { { "headers", "accept" } }), "API_HEADER_DENIED" },
        { get(a, { { "headers", { { "accept", 1 } } } }), "API_HEADER_DENIED" },
        { get("http://api.test/a", { { "headers", { { "cookie", "a" } } } }), "API_ORIGIN_DENIED" },
        { get("https://u@api.test/a"), "API_ORIGIN_DENIED" },
        { get("https://api.test/a#f"), "API_ORIGIN_DENIED" },
        { get("https://api.test:8443/a"), "API_ORIGIN_DENIED" },
        { { { "url", "https://API.test:443/a?q" }, { "method", "HEAD" }, { "headers", nullptr }, { "body", nullptr } }, "HEAD https://API.test:443/a?q timeout=30" },
        { { { "url", "https://127.0.0.1:8443/" }, { "method", "DELETE" }, { "headers", { { "Accept", "a" }, { "accept", "b" } } } }, "API_HEADER_DENIED" },
        { get(a, { { "headers", { { "cookie", "a" } } } }), "API_HEADER_DENIED" },
        { get(a, { { "headers", { { "accept", "a\nb" } } } }), "API_HEADER_DENIED" },
        { get(a, { { "headers", { { "accept", std::string(8193, 'a') } } } }), "API_HEADER_DENIED" },
        { get(a, { { "body", "" } }), "API_REQUEST_INVALID" },
        { { { "url", a }, { "method", "PATCH" }, { "headers", { { "Authorization", "t" }, { "X-App", std::string(8192, 'v') } } }, { "body", std::string(32768, 'b') } },
            "PATCH https://api.test/a authorization=t x-app=" + std::string(8192, 'v') + " body=32768 timeout=30" },
    };
    for (const auto& [request, expected] : cases)
        EXPECT_EQ(outcome(APIRequest::decode(bridgeValue(request), api)), expected) << request.dump().substr(0, 120);

    std::vector<std::pair<std::string, std::string>> seventeen(17, { "accept", "a" });
    EXPECT_EQ(outcome(APIRequest::create(*Url::parse("https://api.test/"), APIRequest::Method::Put, seventeen, "", 5, api)), "API_HEADER_DENIED");
    EXPECT_EQ(outcome(APIRequest::create(*Url::parse("https://api.test/"), APIRequest::Method::Head, {}, std::string(32769, 'b'), 5, api)), "API_BODY_TOO_LARGE");
    for (double timeout : { 0.0099, 60.001, double(NAN), 0.01, 60.0 })
        EXPECT_EQ(outcome(APIRequest::create(*Url::parse("https://api.test/"), APIRequest::Method::Put, {}, "", timeout, api)),
            timeout >= 0.01 && timeout <= 60 ? "PUT https://api.test/ body=0 timeout=" + std::to_string(int(timeout)) : "API_REQUEST_INVALID");
}

TEST(APIResponse, ChecksStatusOriginSizeAndEncodingInOrder)
{
    auto api = policy({ "https://api.test" }).value();
    auto at = [](const char* url) { return Url::parse(url); };
    const std::pair<APIHTTPResponse, std::string> cases[] = {
        { { 404, at("https://api.test/a"), "text/plain", 10, "\xc3\xa9" }, R"({"body":"é","contentType":"text/plain","status":404})" },
        { { 200, at("https://api.test/a"), "text/\x01", {}, std::string(10, 'a') }, R"({"body":"aaaaaaaaaa","contentType":"","status":200})" },
        { { 200, at("https://api.test/a"), {}, 11, "a" }, "API_RESPONSE_TOO_LARGE" },
        { { 200, at("https://api.test/a"), {}, {}, std::string(11, 'a') }, "API_RESPONSE_TOO_LARGE" },
        { { 200, at("https://api.test/a"), {}, {}, "\xff" }, "API_RESPONSE_INVALID" },
        { { 304, at("https://api.test/a"), {}, 11, "" }, "API_REDIRECT_DENIED" },
        { { 200, at("https://other.test/a"), {}, {}, "" }, "API_REDIRECT_DENIED" },
        { { 600, at("https://other.test/a"), {}, {}, "" }, "API_RESPONSE_INVALID" },
        { { 200, {}, {}, {}, "" }, "API_RESPONSE_INVALID" },
    };
    for (const auto& [loaded, expected] : cases) {
        auto response = APIResponse::from(loaded, api, 10);
        EXPECT_EQ(response.isError() ? response.error().code() : response->bridgeValue().jsonText(), expected) << loaded.statusCode;
    }
    EXPECT_EQ(sanitizedContentType(std::string(256, 't')) + "|" + sanitizedContentType(std::string(257, 't')), std::string(256, 't') + "|");
}

} // namespace
} // namespace quorin
