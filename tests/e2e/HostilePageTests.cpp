// A hostile web UI and a hostile game frame (tests/e2e/hostile/) try what a compromised page
// would, in the real web view with the real bridge and game scheme. Each attempt must end the
// documented way, and the launcher must still answer a normal request after each one.

#include "core/ReadableFile.h"
#include "e2e/LauncherPage.h"
#include "game/GameSchemeHandler.h"
#include "game/RuntimeFolder.h"
#include "support/PageScriptRunner.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#ifndef QUORIN_HOSTILE_FIXTURES
#error "QUORIN_HOSTILE_FIXTURES must name tests/e2e/hostile"
#endif

namespace quorin::test {
namespace {

std::string fixture(const std::string& name)
{
    return ReadableFile::readContents(std::string(QUORIN_HOSTILE_FIXTURES "/") + name).value();
}

// An attack of hostile/index.html and how it must end; the game frame adds the policy
// directives it ran into.
struct Attack { const char *name, *outcome; };

const Attack whileTheSessionLives[] = {
    { "10,000 requests at once", "10000 answered" },
    { "a body nested 10,000 deep", "BRIDGE_REQUEST_INVALID" },
    { "electronAPI replaced, redefined, shadowed or deleted", "kept" },
    { "game frame reaches into the web UI", "SecurityError" },
    { "game frame reads its own description", "200" },
    { "game frame fetches an untrusted HTTPS origin", "TypeError connect-src" },
    { "game frame opens a WebSocket that is no proxy", "SecurityError connect-src" },
    { "game frame frames another page", "added frame-src" },
    { "game frame opens a window", "null" },
    { "game frame fetches another session's description", "TypeError" },
    { "game frame escapes with %2e%2e", "TypeError" },
    { "game frame escapes with ..%2f", "TypeError" },
    { "game frame escapes with a backslash", "TypeError" },
    { "game frame moves itself to a file outside the web UI", "stayed" },
    { "game frame moves itself to another session's host page", "stayed" },
    { "game frame moves the top to the game scheme", "stayed" },
};
// Sixty seconds after the session opened.
const Attack afterItExpired[] = {
    { "game frame reads its description after expiry", "TypeError" },
    { "game frame loads a runtime file after expiry", "200" },
};

TEST(HostilePage, EveryAttackEndsTheDocumentedWayAndTheLauncherKeepsAnswering)
{
    testing::RuntimeFolder runtime;
    runtime.directory.write("host/index.html", fixture("game.html"));
    runtime.directory.write("host/ruffle-host.js", fixture("game-agent.js"));
    auto now = std::chrono::system_clock::now();
    auto sessions = std::make_shared<GameSessionStore>();
    auto ticket = sessions->open({ "s1", *Url::parse("https://play.quorin42.test/flash/Loading.swf"), *Url::parse("https://play.quorin42.test/flash/"),
                                     { { "user", "u" } }, now + PlaySession::lifetime },
        now);
    auto handler = std::make_shared<GameSchemeHandler>(GameResourceResolver(sessions, std::make_shared<RuffleRuntimeManifest>(MUST(runtime.load())),
        { *Url::parse("https://play.quorin42.test") }, [&now] { return now; }));
    LauncherPage page({ .indexHTML = fixture("index.html"),
        .gameSchemeHandler = WebViewSchemeHandler { "quorin-game", [handler](WebKitURISchemeRequest* request) { handler->start(request); } } });
    ASSERT_TRUE(page.load());
    auto location = page.value("location.href");
    ASSERT_EQ(page.awaited("return await openGame('" + ticket->hostURL().string() + "');"), "\"ready\"");

    auto expectEnds = [&](const Attack& attack) {
        EXPECT_EQ(page.awaited("return await attacks[" + nlohmann::json(attack.name).dump() + "]();"), nlohmann::json(attack.outcome).dump()) << attack.name;
        EXPECT_EQ(page.awaited("return [location.href, (await electronAPI.getAppInfo()).appName];"), "[" + location + ",\"Quorin 4.2\"]") << attack.name;
        EXPECT_EQ(page.controller->state(), LauncherWebViewState::ready()) << attack.name;
    };
    for (const auto& attack : whileTheSessionLives)
        expectEnds(attack);
    now += PlaySession::lifetime;
    for (const auto& attack : afterItExpired)
        expectEnds(attack);
    EXPECT_TRUE(page.externallyOpened.empty());
    EXPECT_EQ(g_list_model_get_n_items(gtk_window_get_toplevels()), 1u);
}

} // namespace
} // namespace quorin::test
