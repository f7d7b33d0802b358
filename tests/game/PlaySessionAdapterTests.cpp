#include "game/PlaySessionAdapter.h"

#include <gtest/gtest.h>

namespace quorin {
namespace {

const GameTime receivedAt { std::chrono::hours(500000) };

// A valid payload with one member replaced.
BridgeValue::Object payloadWith(const std::string& name = {}, const BridgeValue& value = {})
{
    BridgeValue::Object payload { { name, value } };
    for (auto [key, text] : { std::pair { "serverId", "eu-1" }, { "locale", "tr" }, { "flash", "https://game.example/swf/" },
             { "config", "https://cdn.example/config.json" }, { "user", "u" }, { "key", "k" } }) {
        if (key != name)
            payload.emplace(key, BridgeValue::string(text));
    }
    return payload;
}

std::string outcome(const PlaySessionAdapter& adapter, const BridgeValue::Object& payload, GameTime now = receivedAt)
{
    auto session = adapter.adapt(payload, receivedAt, now);
    return session ? "ok" : session.error().code();
}

PlaySessionAdapter adapter({ *Url::parse("https://GAME.example:443"), *Url::parse("https://cdn.example/"), *Url::parse("http://plain.example"), *Url::parse("https://alt.example:8443") });

TEST(PlaySessionAdapter, AppliesEveryPayloadRule)
{
    auto s = [](std::string text) { return BridgeValue::string(std::move(text)); };
    const std::tuple<std::string, BridgeValue, std::string> cases[] = {
        { "serverId", s(std::string(64, 'a') + "Z09._~-"), "GAME_SESSION_INVALID" },
        { "serverId", s(std::string(57, 'a') + "Z09._~-"), "ok" },
        { "serverId", s("eu/1"), "GAME_SESSION_INVALID" },
        { "locale", s("EN"), "GAME_SESSION_INVALID" },
        { "locale", s("en"), "ok" },
        { "flash", s("https://game.example/swf"), "GAME_SESSION_INVALID" },
        { "flash", s("HTTPS://game.example/swf/"), "GAME_SESSION_INVALID" },
        { "flash", s("https://game.example:8443/swf/"), "GAME_SESSION_INVALID" },
        { "flash", s("https://game.example/swf/?"), "GAME_SESSION_INVALID" },
        { "flash", s("https://game.example/a/../swf/"), "GAME_SESSION_INVALID" },
        { "flash", s("https://game.example/a%20b/"), "GAME_SESSION_INVALID" },
        { "flash", s("https://GAME.example:443/swf/"), "ok" },
        { "config", s("https://alt.example/c.json"), "GAME_SESSION_INVALID" },
        { "user", BridgeValue::number(7), "GAME_SESSION_INVALID" },
        { "key", s("k\n"), "GAME_SESSION_INVALID" },
    };
    for (const auto& [name, value, expected] : cases)
        EXPECT_EQ(outcome(adapter, payloadWith(name, value)), expected) << name << " " << value.jsonText();
}

TEST(PlaySessionAdapter, RefusesImplausibleReceiptTimes)
{
    using std::chrono::seconds;
    EXPECT_EQ(outcome(adapter, payloadWith(), receivedAt - seconds(5)), "ok");
    EXPECT_EQ(outcome(adapter, payloadWith(), receivedAt - seconds(6)), "GAME_SESSION_EXPIRED");
    EXPECT_EQ(outcome(adapter, payloadWith(), receivedAt + seconds(59)), "ok");
    EXPECT_EQ(outcome(adapter, payloadWith(), receivedAt + seconds(60)), "GAME_SESSION_EXPIRED");
    EXPECT_EQ(outcome(adapter, payloadWith("serverId", BridgeValue::string("")), receivedAt + seconds(60)), "GAME_SESSION_EXPIRED");
}

TEST(PlaySessionAdapter, BuildsTheSessionAndNeverPrintsIt)
{
    auto session = adapter.adapt(payloadWith("locale", BridgeValue::string("en")), receivedAt, receivedAt).releaseValue();
    EXPECT_EQ(session.serverID, "eu-1");
    EXPECT_EQ(session.movieURL.string(), "https://game.example/swf/Loading.swf");
    EXPECT_EQ(session.baseURL.string(), "https://game.example/swf/");
    const std::map<std::string, std::string> parameters { { "user", "u" }, { "key", "k" }, { "config", "https://cdn.example/config.json" }, { "lang", "en" }, { "locale", "en" } };
    EXPECT_EQ(session.parameters, parameters);
    EXPECT_EQ(testing::PrintToString(session), "PlaySession(payload=redacted)");
}

} // namespace
} // namespace quorin
