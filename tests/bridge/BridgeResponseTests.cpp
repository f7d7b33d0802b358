#include "bridge/BridgeResponse.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

namespace quorin {
namespace {

using nlohmann::json;

TEST(BridgeResponse, SendsOnlyCodesOfOneTo64CapitalsDigitsAndUnderscoresAndSurvivesInvalidUTF8InARequestID)
{
    const std::pair<std::string, std::string> cases[] = {
        { "API_HTTP_404", "API_HTTP_404" }, { std::string(64, 'X'), std::string(64, 'X') }, { std::string(65, 'X'), "BRIDGE_FAILED" },
        { "", "BRIDGE_FAILED" }, { "api_http_404", "BRIDGE_FAILED" }, { "API-HTTP", "BRIDGE_FAILED" },
    };
    for (const auto& [code, sent] : cases)
        EXPECT_EQ(json::parse(BridgeResponse::failure("r", code).replyJSONText()), json({ { "ok", false }, { "requestId", "r" }, { "error", { { "code", sent } } } })) << code;
    EXPECT_EQ(json::parse(BridgeResponse::failure("bad\xff", "X").replyJSONText())["requestId"], "bad\xef\xbf\xbd");
}

} // namespace
} // namespace quorin
