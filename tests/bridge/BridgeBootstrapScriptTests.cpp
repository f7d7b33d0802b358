#include "bridge/BridgeBootstrapScript.h"

#include <gtest/gtest.h>

namespace quorin {
namespace {

TEST(BridgeBootstrapScript, SafeJSONTextSortsKeysAndEscapesWhatCouldEndAScriptOrALine)
{
    BridgeValue::Object object = {
        { "z", BridgeValue::string("</script><!--\u2028\u2029 https://a/b caf\u00e9 \u2027 \"q\\") },
        { "<k", BridgeValue::array({ BridgeValue::object({ { "n", BridgeValue::string("a<<b") } }) }) },
    };
    EXPECT_EQ(BridgeBootstrapScript::safeJSONText(object).value(),
        R"({"\u003ck":[{"n":"a\u003c\u003cb"}],"z":"\u003c/script>\u003c!--\u2028\u2029 https://a/b caf)"
        "\u00e9 \u2027 \\\"q\\\\\"}");
}

TEST(BridgeBootstrapScript, RefusesTextThatIsNotUTF8InEitherMap)
{
    const BridgeValue::Object badObjects[] = {
        { { "a\x80", BridgeValue::null() } },
        { { "k", BridgeValue::array({ BridgeValue::string("\xED\xA0\x80") }) } },
    };
    for (const auto& bad : badObjects)
        for (const auto& script : { BridgeBootstrapScript::make(bad, {}), BridgeBootstrapScript::make({}, bad) })
            EXPECT_TRUE(script.isError() && script.error() == BridgeBootstrapScriptError::encodingFailed());
}

} // namespace
} // namespace quorin
