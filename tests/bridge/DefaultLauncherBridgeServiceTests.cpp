#include "bridge/DefaultLauncherBridgeService.h"

#include <gtest/gtest.h>

namespace quorin {
namespace {

using Log = std::vector<std::string>;

void call(LauncherBridgeServicing& service, Log& log, std::string_view method, std::vector<BridgeValue> arguments = {})
{
    service.handle(BridgeRequest("r1", *bridgeMethodFromWireString(method), std::move(arguments)), [&log](BridgeServiceResult result) {
        log.push_back(result.hasValue() ? result.value().jsonText() : "error:" + result.error().code.value_or("<none>"));
    });
}

TEST(DefaultLauncherBridgeService, AnswersWithFallbacksAndKeepsPreferencesInMemoryWithoutComponents)
{
    auto string = BridgeValue::string;
    const std::tuple<std::string_view, std::vector<BridgeValue>, std::string> cases[] = {
        { "clearResourceCache", {}, R"({"bytes":0,"ok":true})" },
        { "getSystemTheme", {}, R"("dark")" },
        { "updateDiscordActivity", {}, "true" },
        { "api.request", { BridgeValue::object({}) }, "error:API_UNAVAILABLE" },
        { "game.open", {}, R"({"code":"GAME_UNAVAILABLE","ok":false})" },
        { "launcherUpdates.install", {}, R"({"canCheck":false,"canDownload":false,"canInstall":false,"currentVersion":"4.2.0","error":null,"progress":null,"status":"unsupported","version":null})" },
        { "getStartupUrl", {}, "null" },
        { "auth.beginExternalLogin", {}, "{}" },
        { "savedAccounts.list", {}, "[]" },
        { "savedAccounts.remove", { string("a1") }, "error:SAVED_ACCOUNTS_INVALID_ENTRY" },
        { "getZoomFactor", {}, "1" },
        { "zoomIn", {}, "false" },
        // Preferences in memory, one call after another: a refused value leaves them as they were.
        { "preferences.setLocale", { string("de") }, R"({"audioMuted":false,"locale":"tr","playBackgroundThemesByServer":{},"version":1})" },
        { "preferences.initialize",
            { BridgeValue::object({ { "locale", string("en") }, { "audioMuted", BridgeValue::boolean(true) }, { "playBackgroundThemesByServer", BridgeValue::object({ { "s2", string("https://cdn.test/b.png") } }) } }) },
            R"({"audioMuted":true,"locale":"en","playBackgroundThemesByServer":{"s2":"https://cdn.test/b.png"},"version":1})" },
    };
    auto service = DefaultLauncherBridgeService::create({}, "4.2.0", {});
    for (const auto& [method, arguments, expected] : cases) {
        Log log;
        call(*service, log, method, arguments);
        EXPECT_EQ(log, Log { expected }) << method;
    }
    EXPECT_FALSE(service->acceptDeepLink(*Url::parse("quorin42://auth?code=1")));
}

struct FakePorts final : PreferencesBridgePort, SavedAccountsBridgePort, APIBridgePort, DeepLinkBridgePort, UpdaterBridgePort {
    BridgeServiceResult preferences = BridgeValue::object({ { "locale", BridgeValue::string("en") } });
    std::optional<DeepLinkDelivery> delivery;
    std::optional<std::string> startupURL = "quorin42://play";
    BridgeServiceResult updaterState = BridgeValue::string("idle");
    std::function<void()> stateObserver;

    BridgeServiceResult initialize(const BridgeValue::Object&) override { return preferences; }
    BridgeServiceResult setLocale(const BridgeValue*) override { return preferences; }
    BridgeServiceResult setAudioMuted(const BridgeValue*) override { return preferences; }
    BridgeServiceResult setPlayBackgroundTheme(const std::vector<BridgeValue>&) override { return preferences; }
    BridgeServiceResult clearPlayBackgroundTheme(const BridgeValue*) override { return preferences; }
    void list(BridgeServiceCompletion completion) override { completion(BridgeValue::array({})); }
    void upsert(const BridgeValue& entry, BridgeServiceCompletion completion) override { completion(BridgeValue::array({ entry })); }
    void remove(const std::string&, BridgeServiceCompletion completion) override { completion(BridgeValue::array({})); }
    void request(const BridgeValue&, BridgeServiceCompletion completion) override { completion(BridgeValue::string("sent")); }
    std::optional<DeepLinkDelivery> route(const Url&) override { return delivery; }
    std::optional<std::string> takeStartupURL() override { return std::exchange(startupURL, std::nullopt); }
    Result<std::string, BridgeServiceError> beginExternalLogin() override { return std::string("state"); }
    BridgeServiceResult state() const override { return updaterState; }
    void check(std::function<void()> done) override { done(); }
    void download(std::function<void()> done) override { done(); }
    void install(std::function<void()> done) override { done(); }
    void onStateChanged(std::function<void()> observer) override { stateObserver = std::move(observer); }
};

TEST(DefaultLauncherBridgeService, HandsCallsToItsComponentsAndRaisesTheirEvents)
{
    auto ports = std::make_shared<FakePorts>();
    auto service = DefaultLauncherBridgeService::create({}, "4.2.0", { .api = ports, .preferences = ports, .savedAccounts = ports, .system = nullptr, .deepLinks = ports, .game = nullptr, .updater = ports });
    Log log;
    service->setEventSink([&log](const std::string& name, const BridgeValue& payload) { log.push_back("event " + name + " " + payload.jsonText()); });
    auto deepLink = [&] { log.push_back(service->acceptDeepLink(*Url::parse("quorin42://auth?code=1")) ? "true" : "false"); };

    call(*service, log, "preferences.setLocale", { BridgeValue::string("en") });
    ports->preferences = fail(BridgeServiceError::withCode("PREFERENCES_INVALID_LOCALE"));
    call(*service, log, "preferences.setLocale", { BridgeValue::string("xx") });
    call(*service, log, "savedAccounts.upsert", { BridgeValue::number(7) });
    call(*service, log, "savedAccounts.upsert");
    call(*service, log, "api.request", { BridgeValue::object({}) });
    call(*service, log, "api.request", { BridgeValue::object({}), BridgeValue::object({}) });
    deepLink();
    ports->delivery = DeepLinkDelivery::storedAsStartupURL();
    deepLink();
    ports->delivery = DeepLinkDelivery::event("quorin42://auth?code=1");
    deepLink();
    call(*service, log, "getStartupUrl");
    call(*service, log, "getStartupUrl");
    ports->stateObserver();
    ports->updaterState = fail(BridgeServiceError::uncoded()); // a state the page cannot be given raises nothing
    ports->stateObserver();

    EXPECT_EQ(log, (Log { R"(event preferencesChanged {"locale":"en"})", R"({"locale":"en"})", "error:PREFERENCES_INVALID_LOCALE", "[7]", "error:SAVED_ACCOUNTS_INVALID_ENTRY",
                       R"("sent")", "error:API_UNAVAILABLE", "false", "true", R"(event deepLink "quorin42://auth?code=1")", "true", R"("quorin42://play")", "null",
                       R"(event updateStateChanged "idle")" }));
}

} // namespace
} // namespace quorin
