#include "bridge/BridgeResponse.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <string>

namespace quorin {
namespace {

using nlohmann::json;

TEST(BridgeResponse, FailureCodesAreSanitised)
{
    const struct {
        std::string code;
        std::string sent;
    } cases[] = {
        { "GAME_UNAVAILABLE", "GAME_UNAVAILABLE" },
        { "A", "A" },
        { "API_HTTP_404", "API_HTTP_404" },
        { std::string(64, 'X'), std::string(64, 'X') },
        { std::string(65, 'X'), "BRIDGE_FAILED" },
        { "", "BRIDGE_FAILED" },
        { "game_unavailable", "BRIDGE_FAILED" },
        { "GAME UNAVAILABLE", "BRIDGE_FAILED" },
        { "GAME-X", "BRIDGE_FAILED" },
        { "\xc3\x89T\xc3\x89", "BRIDGE_FAILED" },
        { std::string("GAME\0X", 6), "BRIDGE_FAILED" },
    };
    for (const auto& c : cases) {
        auto response = BridgeResponse::failure("r", c.code);
        EXPECT_EQ(response.errorCode(), c.sent) << c.code;
        EXPECT_FALSE(response.value().has_value());
        EXPECT_EQ(response.replyObject()["error"]["code"], c.sent);
    }
}

TEST(BridgeResponse, RepliesHaveTheWireShape)
{
    const struct {
        const char* name;
        BridgeResponse response;
        json expected;
    } cases[] = {
        { "success", BridgeResponse::success("linux_1_2", BridgeValue::object({ { "n", BridgeValue::number(2) } })),
            json::parse(R"({"ok":true,"requestId":"linux_1_2","value":{"n":2}})") },
        { "null value", BridgeResponse::success("r", BridgeValue::null()), json::parse(R"({"ok":true,"requestId":"r","value":null})") },
        { "failure", BridgeResponse::failure("invalid", "BRIDGE_REQUEST_INVALID"),
            json::parse(R"({"ok":false,"requestId":"invalid","error":{"code":"BRIDGE_REQUEST_INVALID"}})") },
        { "sanitised failure", BridgeResponse::failure("r", "oops"), json::parse(R"({"ok":false,"requestId":"r","error":{"code":"BRIDGE_FAILED"}})") },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.response.replyObject(), c.expected);
        EXPECT_NE(c.response.value().has_value(), c.response.errorCode().has_value());
        EXPECT_EQ(json::parse(c.response.replyJSONText()), c.expected);
    }
    EXPECT_EQ(BridgeResponse::success("r", BridgeValue::null()).replyJSONText(), R"({"ok":true,"requestId":"r","value":null})");
}

TEST(BridgeResponse, ReplyTextSurvivesInvalidUTF8InARequestID)
{
    std::string text;
    ASSERT_NO_THROW(text = BridgeResponse::failure("bad\xff", "X").replyJSONText());
    EXPECT_EQ(json::parse(text)["requestId"], "bad\xef\xbf\xbd");
}

} // namespace
} // namespace quorin
