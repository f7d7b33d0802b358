#include "bridge/BridgeResponse.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

namespace quorin {
namespace {

using nlohmann::json;

TEST(BridgeResponse, SendsOnlyCodesOfOneTo64CapitalsDigitsAndUnderscores)
{
    const std::pair<std::string, std::string> cases[] = {
        { "API_HTTP_404", "API_HTTP_404" }, { std::string(64, 'X'), std::string(64, 'X') }, { std::string(65, 'X'), "BRIDGE_FAILED" },
        { "", "BRIDGE_FAILED" }, { "api_http_404", "BRIDGE_FAILED" }, { "API-HTTP", "BRIDGE_FAILED" },
    };
    for (const auto& [code, sent] : cases)
        EXPECT_EQ(json::parse(BridgeResponse::failure("r", code).replyJSONText()), json({ { "ok", false }, { "requestId", "r" }, { "error", { { "code", sent } } } })) << code;
    EXPECT_EQ(BridgeResponse::success("linux_1_2", BridgeValue::object({ { "n", BridgeValue::null() } })).replyJSONText(), R"({"ok":true,"requestId":"linux_1_2","value":{"n":null}})");
}

TEST(BridgeResponse, ReplyTextSurvivesInvalidUTF8InARequestID)
{
    std::string text;
    ASSERT_NO_THROW(text = BridgeResponse::failure("bad\xff", "X").replyJSONText());
    EXPECT_EQ(json::parse(text)["requestId"], "bad\xef\xbf\xbd");
}

} // namespace
} // namespace quorin
