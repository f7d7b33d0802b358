// What the page gets while the components behind a method are missing: fixed fallbacks, and
// preferences kept in memory.

#include "bridge/DefaultLauncherBridgeService.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

namespace quorin {
namespace {

using json = nlohmann::json;

// The value (as JSON) or the error code the service answers with.
std::string answer(DefaultLauncherBridgeService& service, std::string_view method, std::vector<BridgeValue> arguments = {})
{
    std::optional<std::string> outcome;
    service.handle(BridgeRequest("r1", *bridgeMethodFromWireString(method), std::move(arguments)), [&](BridgeServiceResult result) {
        EXPECT_FALSE(outcome.has_value()) << "answered twice";
        outcome = result.hasValue() ? result.value().jsonText() : "error:" + result.error().code.value_or("<none>");
    });
    EXPECT_TRUE(outcome.has_value()) << method << " did not answer";
    return outcome.value_or("");
}

std::shared_ptr<DefaultLauncherBridgeService> makeService()
{
    return DefaultLauncherBridgeService::create({ { "apiBaseUrl", BridgeValue::string("https://api.quorin42.test/api") } }, "4.2.0");
}

TEST(DefaultLauncherBridgeService, AnswersEveryMethodWithItsFallback)
{
    const std::string updateState = R"({"canCheck":false,"canDownload":false,"canInstall":false,"currentVersion":"4.2.0","error":null,"progress":null,"status":"unsupported","version":null})";
    const std::vector<std::pair<std::string_view, std::string>> cases = {
        { "getAppInfo", R"({"appName":"Quorin 4.2","appVersion":"4.2.0","platform":"linux"})" },
        { "getResourceCacheSize", R"({"bytes":0,"ok":true})" },
        { "clearResourceCache", R"({"bytes":0,"ok":true})" },
        { "getRuntimeConfig", R"({"apiBaseUrl":"https://api.quorin42.test/api"})" },
        { "getSystemTheme", R"("dark")" },
        { "api.request", "error:API_UNAVAILABLE" },
        { "game.open", R"({"code":"GAME_UNAVAILABLE","ok":false})" },
        { "game.close", R"({"code":"GAME_UNAVAILABLE","ok":false})" },
        { "launcherUpdates.getState", updateState },
        { "launcherUpdates.install", updateState },
        { "getStartupUrl", "null" },
        { "updateDiscordActivity", "true" },
        { "savedAccounts.list", "[]" },
        { "savedAccounts.upsert", "error:SAVED_ACCOUNTS_INVALID_ENTRY" },
        { "savedAccounts.remove", "error:SAVED_ACCOUNTS_INVALID_ENTRY" },
        { "auth.beginExternalLogin", "{}" },
        { "getZoomFactor", "1" },
        { "windowIsMaximized", "false" },
        { "zoomIn", "false" },
        { "openExternal", "false" },
    };
    auto service = makeService();
    for (const auto& [method, expected] : cases)
        EXPECT_EQ(answer(*service, method), expected) << method;
}

TEST(DefaultLauncherBridgeService, KeepsPreferencesInMemoryWithoutAStore)
{
    auto service = makeService();
    auto snapshot = [&](std::string_view method, std::vector<BridgeValue> arguments) {
        return json::parse(answer(*service, method, std::move(arguments)));
    };

    EXPECT_EQ(snapshot("preferences.setLocale", { BridgeValue::string("de") })["locale"], "tr");
    EXPECT_EQ(snapshot("preferences.setLocale", { BridgeValue::string("en") })["locale"], "en");
    EXPECT_EQ(snapshot("preferences.setAudioMuted", { BridgeValue::string("yes") })["audioMuted"], false);
    EXPECT_EQ(snapshot("preferences.setAudioMuted", { BridgeValue::boolean(true) })["audioMuted"], true);

    auto three = snapshot("preferences.setPlayBackgroundTheme", { BridgeValue::string("s1"), BridgeValue::string("a.png"), BridgeValue::string("x") });
    EXPECT_EQ(three["playBackgroundThemesByServer"], json::object());
    auto set = snapshot("preferences.setPlayBackgroundTheme", { BridgeValue::string("s1"), BridgeValue::string("a.png") });
    EXPECT_EQ(set["playBackgroundThemesByServer"], json({ { "s1", "a.png" } }));
    auto cleared = snapshot("preferences.clearPlayBackgroundTheme", { BridgeValue::string("s1") });
    EXPECT_EQ(cleared["playBackgroundThemesByServer"], json::object());

    auto legacy = BridgeValue::object({
        { "locale", BridgeValue::string("tr") },
        { "audioMuted", BridgeValue::boolean(false) },
        { "playBackgroundThemesByServer", BridgeValue::object({ { "s2", BridgeValue::string("b.png") }, { "s3", BridgeValue::number(3) } }) },
    });
    EXPECT_EQ(snapshot("preferences.initialize", { legacy }),
        json::parse(R"({"audioMuted":false,"locale":"tr","playBackgroundThemesByServer":{"s2":"b.png"},"version":1})"));
}

TEST(DefaultLauncherBridgeService, RecognisesNoDeepLinkWithoutARouter)
{
    auto service = makeService();
    EXPECT_FALSE(service->acceptDeepLink(*Url::parse("quorin42://auth?code=1")));
}

} // namespace
} // namespace quorin
