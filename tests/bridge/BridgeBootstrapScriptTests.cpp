#include "bridge/BridgeBootstrapScript.h"
#include "bridge/BridgePageHandler.h"
#include "core/PlatformValues.h"

#include <gtest/gtest.h>

namespace quorin {
namespace {

BridgeValue::Object single(std::string key, BridgeValue value)
{
    return { { std::move(key), std::move(value) } };
}

const BridgeValue::Object nativeHost = {
    { "applicationId", BridgeValue::string("com.quorin42.desktop") },
    { "kind", BridgeValue::string(std::string(PlatformValues::nativeHostKind)) },
    { "version", BridgeValue::string("4.2.0") },
};

TEST(BridgeBootstrapScript, EscapesEmbeddedTextThatCouldEndAScriptElementOrLine)
{
    const std::pair<std::string, std::string> cases[] = {
        { "</script>", "\\u003c/script>" },
        { "<!--", "\\u003c!--" },
        { "a<<b", "a\\u003c\\u003cb" },
        { "line\u2028break", "line\\u2028break" },
        { "para\u2029break", "para\\u2029break" },
        { "\u2028\u2029<", "\\u2028\\u2029\\u003c" },
        { "https://cdn.example.test/a/b", "https://cdn.example.test/a/b" },
        { "caf\u00e9 \u2027 \u202a", "caf\u00e9 \u2027 \u202a" },
        { "quote\" back\\slash", "quote\\\" back\\\\slash" },
    };
    for (const auto& [text, embedded] : cases) {
        SCOPED_TRACE(text);
        auto json = BridgeBootstrapScript::safeJSONText(single("k", BridgeValue::string(text)));
        ASSERT_TRUE(json.hasValue());
        EXPECT_EQ(*json, "{\"k\":\"" + embedded + "\"}");
    }
}

TEST(BridgeBootstrapScript, SafeJSONSortsKeysAndEscapesKeysToo)
{
    BridgeValue::Object object = {
        { "zeta", BridgeValue::boolean(true) },
        { "</alpha>", BridgeValue::null() },
        { "mid", BridgeValue::array({ BridgeValue::string("x<y"), BridgeValue::object(single("b", BridgeValue::string("\u2028"))) }) },
    };
    auto json = BridgeBootstrapScript::safeJSONText(object);
    ASSERT_TRUE(json.hasValue());
    EXPECT_EQ(*json, R"({"\u003c/alpha>":null,"mid":["x\u003cy",{"b":"\u2028"}],"zeta":true})");
}

TEST(BridgeBootstrapScript, RefusesTextThatIsNotUTF8)
{
    const std::pair<const char*, std::string> badBytes[] = {
        { "lone continuation byte", "a\x80" },
        { "truncated sequence", "\xE2\x80" },
        { "overlong slash", "\xC0\xAF" },
        { "UTF-16 surrogate", "\xED\xA0\x80" },
        { "byte 0xFF", "\xFF" },
    };
    for (const auto& [name, bytes] : badBytes) {
        SCOPED_TRACE(name);
        const std::pair<const char*, BridgeValue::Object> placements[] = {
            { "value", single("k", BridgeValue::string(bytes)) },
            { "key", single(bytes, BridgeValue::null()) },
            { "nested", single("k", BridgeValue::array({ BridgeValue::object(single("n", BridgeValue::string(bytes))) })) },
        };
        for (const auto& [where, object] : placements) {
            SCOPED_TRACE(where);
            auto inRuntimeConfig = BridgeBootstrapScript::make(object, nativeHost);
            ASSERT_TRUE(inRuntimeConfig.isError());
            EXPECT_EQ(inRuntimeConfig.error(), BridgeBootstrapScriptError::EncodingFailed);
            auto inNativeHost = BridgeBootstrapScript::make({}, object);
            ASSERT_TRUE(inNativeHost.isError());
            EXPECT_EQ(inNativeHost.error(), BridgeBootstrapScriptError::EncodingFailed);
        }
    }
}

TEST(BridgeBootstrapScript, EmbedsBothMapsAsFrozenConstantsInOrder)
{
    auto runtimeConfig = single("banner", BridgeValue::string("</script>\u2028"));
    auto script = BridgeBootstrapScript::make(runtimeConfig, nativeHost);
    ASSERT_TRUE(script.hasValue());
    auto runtimeConfigJSON = BridgeBootstrapScript::safeJSONText(runtimeConfig).releaseValue();
    auto nativeHostJSON = BridgeBootstrapScript::safeJSONText(nativeHost).releaseValue();

    std::string embedded = "const runtimeConfig = Object.freeze(" + runtimeConfigJSON + ");\n  const nativeHost = Object.freeze(" + nativeHostJSON + ");";
    EXPECT_NE(script->find(embedded), std::string::npos);
    EXPECT_EQ(script->find("</script>"), std::string::npos);
    EXPECT_EQ(script->find("\u2028"), std::string::npos);
    EXPECT_TRUE(script->starts_with("(function () {\n  'use strict';"));
}

TEST(BridgeBootstrapScript, TakesThePlatformNamesFromTheirConstants)
{
    auto script = BridgeBootstrapScript::make({}, nativeHost).releaseValue();
    auto quoted = [](std::string_view text) { return "\"" + std::string(text) + "\""; };
    EXPECT_NE(script.find("window[" + quoted(bridgePageHandlerGlobal) + "]"), std::string::npos);
    EXPECT_NE(script.find("nativeHost.kind === " + quoted(PlatformValues::nativeHostKind)), std::string::npos);
    EXPECT_NE(script.find("runtimeHost = " + quoted(PlatformValues::nativeHostKind)), std::string::npos);
    EXPECT_NE(script.find("return " + quoted(PlatformValues::requestIdPrefix) + " + now()"), std::string::npos);
    EXPECT_EQ(script.find('@'), std::string::npos) << "a template marker was left unfilled";
    EXPECT_EQ(script.find("macos"), std::string::npos);
}

} // namespace
} // namespace quorin
