// What the page gets from the bridge service: fixed fallbacks while components are missing,
// and what it can see of the calls handed to the components that exist.

#include "bridge/DefaultLauncherBridgeService.h"

#include <gtest/gtest.h>

namespace quorin {
namespace {

using Log = std::vector<std::string>;

// Appends the value's JSON text or "error:CODE" to the log.
void call(LauncherBridgeServicing& service, Log& log, std::string_view method, std::vector<BridgeValue> arguments = {})
{
    service.handle(BridgeRequest("r1", *bridgeMethodFromWireString(method), std::move(arguments)), [&log](BridgeServiceResult result) {
        log.push_back(result.hasValue() ? result.value().jsonText() : "error:" + result.error().code.value_or("<none>"));
    });
}

std::shared_ptr<DefaultLauncherBridgeService> makeService(BridgeServiceComponents components = {})
{
    return DefaultLauncherBridgeService::create({ { "apiBaseUrl", BridgeValue::string("https://api.quorin42.test/api") } }, "4.2.0", std::move(components));
}

TEST(DefaultLauncherBridgeService, AnswersWithFallbacksAndKeepsPreferencesInMemoryWithoutComponents)
{
    auto string = BridgeValue::string;
    auto preferences = [](const char* locale, bool muted, const char* themes) {
        return std::string(R"({"audioMuted":)") + (muted ? "true" : "false") + R"(,"locale":")" + locale
            + R"(","playBackgroundThemesByServer":)" + themes + R"(,"version":1})";
    };
    const struct {
        std::string_view method;
        std::vector<BridgeValue> arguments;
        std::string expected;
    } cases[] = {
        { "getAppInfo", {}, R"({"appName":"Quorin 4.2","appVersion":"4.2.0","platform":"linux"})" },
        { "clearResourceCache", {}, R"({"bytes":0,"ok":true})" },
        { "getRuntimeConfig", {}, R"({"apiBaseUrl":"https://api.quorin42.test/api"})" },
        { "getSystemTheme", {}, R"("dark")" },
        { "updateDiscordActivity", {}, "true" },
        { "api.request", { BridgeValue::object({}) }, "error:API_UNAVAILABLE" },
        { "game.open", {}, R"({"code":"GAME_UNAVAILABLE","ok":false})" },
        { "launcherUpdates.install", {}, R"({"canCheck":false,"canDownload":false,"canInstall":false,"currentVersion":"4.2.0","error":null,"progress":null,"status":"unsupported","version":null})" },
        { "getStartupUrl", {}, "null" },
        { "auth.beginExternalLogin", {}, "{}" },
        { "savedAccounts.list", {}, "[]" },
        { "savedAccounts.upsert", { BridgeValue::object({}) }, "error:SAVED_ACCOUNTS_INVALID_ENTRY" },
        { "savedAccounts.remove", { string("a1") }, "error:SAVED_ACCOUNTS_INVALID_ENTRY" },
        { "getZoomFactor", {}, "1" },
        { "zoomIn", {}, "false" },
        // Preferences in memory, one call after another: refused values leave them as they were.
        { "preferences.setLocale", { string("de") }, preferences("tr", false, "{}") },
        { "preferences.setLocale", { string("en") }, preferences("en", false, "{}") },
        { "preferences.setAudioMuted", { string("yes") }, preferences("en", false, "{}") },
        { "preferences.setAudioMuted", { BridgeValue::boolean(true) }, preferences("en", true, "{}") },
        { "preferences.setPlayBackgroundTheme", { string("s1"), string("https://cdn.test/a.png"), string("x") }, preferences("en", true, "{}") },
        { "preferences.setPlayBackgroundTheme", { string("s1"), string("https://cdn.test/a.png") }, preferences("en", true, R"({"s1":"https://cdn.test/a.png"})") },
        { "preferences.clearPlayBackgroundTheme", { string("s1") }, preferences("en", true, "{}") },
        { "preferences.initialize",
            { BridgeValue::object({ { "locale", string("tr") }, { "audioMuted", BridgeValue::boolean(false) },
                { "playBackgroundThemesByServer", BridgeValue::object({ { "s2", string("https://cdn.test/b.png") }, { "s3", BridgeValue::number(3) } }) } }) },
            preferences("tr", false, R"({"s2":"https://cdn.test/b.png"})") },
    };
    auto service = makeService();
    for (const auto& testCase : cases) {
        Log log;
        call(*service, log, testCase.method, testCase.arguments);
        EXPECT_EQ(log, Log { testCase.expected }) << testCase.method;
    }
    EXPECT_FALSE(service->acceptDeepLink(*Url::parse("quorin42://auth?code=1")));
}

// One fake behind every port the delegation checks reach; each answers what the test set.
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
    using Service = DefaultLauncherBridgeService;
    auto deepLink = [](Service& service, Log& log) { log.push_back(service.acceptDeepLink(*Url::parse("quorin42://auth?code=1")) ? "true" : "false"); };
    const struct {
        const char* name;
        std::function<void(FakePorts&)> arrange;
        std::function<void(Service&, FakePorts&, Log&)> act;
        Log expected;
    } cases[] = {
        { "preferences event before the answer", nullptr, [](Service& s, FakePorts&, Log& log) { call(s, log, "preferences.setLocale", { BridgeValue::string("en") }); },
            { R"(event preferencesChanged {"locale":"en"})", R"({"locale":"en"})" } },
        { "store error without an event", [](FakePorts& p) { p.preferences = fail(BridgeServiceError::withCode("PREFERENCES_INVALID_LOCALE")); },
            [](Service& s, FakePorts&, Log& log) { call(s, log, "preferences.setLocale", { BridgeValue::string("xx") }); },
            { "error:PREFERENCES_INVALID_LOCALE" } },
        { "upsert reaches the store", nullptr, [](Service& s, FakePorts&, Log& log) { call(s, log, "savedAccounts.upsert", { BridgeValue::number(7) }); }, { "[7]" } },
        { "upsert without its entry", nullptr, [](Service& s, FakePorts&, Log& log) { call(s, log, "savedAccounts.upsert"); },
            { "error:SAVED_ACCOUNTS_INVALID_ENTRY" } },
        { "api request reaches the transport", nullptr, [](Service& s, FakePorts&, Log& log) { call(s, log, "api.request", { BridgeValue::object({}) }); },
            { R"("sent")" } },
        { "api request with two arguments", nullptr,
            [](Service& s, FakePorts&, Log& log) { call(s, log, "api.request", { BridgeValue::object({}), BridgeValue::object({}) }); },
            { "error:API_UNAVAILABLE" } },
        { "deep link as an event", [](FakePorts& p) { p.delivery = DeepLinkDelivery::event("quorin42://auth?code=1"); },
            [&](Service& s, FakePorts&, Log& log) { deepLink(s, log); }, { R"(event deepLink "quorin42://auth?code=1")", "true" } },
        { "deep link kept for start-up", [](FakePorts& p) { p.delivery = DeepLinkDelivery::storedAsStartupURL(); },
            [&](Service& s, FakePorts&, Log& log) { deepLink(s, log); }, { "true" } },
        { "deep link refused", nullptr, [&](Service& s, FakePorts&, Log& log) { deepLink(s, log); }, { "false" } },
        { "start-up URL taken once", nullptr, [](Service& s, FakePorts&, Log& log) { call(s, log, "getStartupUrl"); call(s, log, "getStartupUrl"); },
            { R"("quorin42://play")", "null" } },
        { "update state change", nullptr, [](Service&, FakePorts& p, Log&) { p.stateObserver(); }, { R"(event updateStateChanged "idle")" } },
        { "update state the page cannot be given", [](FakePorts& p) { p.updaterState = fail(BridgeServiceError::uncoded()); },
            [](Service&, FakePorts& p, Log&) { p.stateObserver(); }, {} },
    };
    for (const auto& testCase : cases) {
        SCOPED_TRACE(testCase.name);
        auto ports = std::make_shared<FakePorts>();
        if (testCase.arrange)
            testCase.arrange(*ports);
        auto service = makeService({ .api = ports, .preferences = ports, .savedAccounts = ports, .system = nullptr, .deepLinks = ports, .game = nullptr, .updater = ports });
        Log log;
        service->setEventSink([&log](const std::string& name, const BridgeValue& payload) { log.push_back("event " + name + " " + payload.jsonText()); });
        testCase.act(*service, *ports, log);
        EXPECT_EQ(log, testCase.expected);
    }
}

} // namespace
} // namespace quorin
