#include "bridge/BridgeResponse.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

namespace quorin {
namespace {

using nlohmann::json;

TEST(BridgeResponse, SendsOnlyCodesOfOneTo64CapitalsDigitsAndUnderscores)
{
    const struct {
        std::string code;
        std::string sent;
    } cases[] = {
        { "API_HTTP_404", "API_HTTP_404" },
        { std::string(64, 'X'), std::string(64, 'X') },
        { std::string(65, 'X'), "BRIDGE_FAILED" },
        { "", "BRIDGE_FAILED" },
        { "api_http_404", "BRIDGE_FAILED" },
        { "API-HTTP", "BRIDGE_FAILED" },
    };
    for (const auto& testCase : cases) {
        SCOPED_TRACE(testCase.code);
        EXPECT_EQ(json::parse(BridgeResponse::failure("r", testCase.code).replyJSONText()),
            json({ { "ok", false }, { "requestId", "r" }, { "error", { { "code", testCase.sent } } } }));
    }
}

TEST(BridgeResponse, SuccessCarriesTheValue)
{
    auto response = BridgeResponse::success("linux_1_2", BridgeValue::object({ { "n", BridgeValue::null() } }));
    EXPECT_EQ(response.replyJSONText(), R"({"ok":true,"requestId":"linux_1_2","value":{"n":null}})");
    EXPECT_EQ(response.errorCode(), std::nullopt);
}

TEST(BridgeResponse, ReplyTextSurvivesInvalidUTF8InARequestID)
{
    std::string text;
    ASSERT_NO_THROW(text = BridgeResponse::failure("bad\xff", "X").replyJSONText());
    EXPECT_EQ(json::parse(text)["requestId"], "bad\xef\xbf\xbd");
}

} // namespace
} // namespace quorin
