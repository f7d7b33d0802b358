#include "game/GameResourceResolver.h"

#include "FakeSocketProxy.h"
#include "RuntimeFolder.h"

#include <gtest/gtest.h>

namespace quorin {
namespace {

using testing::errorOf;

class GameResourceResolverTest : public ::testing::Test {
protected:
    Uuid open(std::vector<std::size_t> proxyPorts)
    {
        PlaySession session { "s1", *Url::parse("https://play.example.com/flash/Loading.swf"), *Url::parse("https://play.example.com/flash/"),
            { { "config", "https://play.example.com/c.xml" }, { "key", "k" }, { "lang", "en" }, { "locale", "en" }, { "user", "u" } },
            now + PlaySession::lifetime };
        auto id = sessions->open(session, now)->id;
        std::vector<GameSessionStore::AttachedProxy> proxies;
        for (auto port : proxyPorts)
            proxies.push_back({ "server1.example.com", 25565 + std::ssize(proxies), std::make_shared<FakeSocketProxy>(port, true) });
        EXPECT_TRUE(sessions->attachSocketProxies(std::move(proxies), id).hasValue());
        return id;
    }
    Result<GameResourceResponse, RuffleRuntimeError> get(const Uuid& id, std::string_view relative)
    {
        return resolver.resolve({ "quorin-game://app/" + id.lowerString() + "/" + std::string(relative), "GET", false });
    }

    testing::RuntimeFolder folder;
    GameTime now = std::chrono::system_clock::now();
    std::shared_ptr<GameSessionStore> sessions = std::make_shared<GameSessionStore>();
    GameResourceResolver resolver { sessions, std::make_shared<RuffleRuntimeManifest>(MUST(folder.load())),
        { *Url::parse("https://play.example.com"), *Url::parse("https://play.example.com/"), *Url::parse("https://cdn.example.com:443"),
            *Url::parse("http://plain.example.com"), *Url::parse("https://other.example.com:8443") },
        [this] { return now; } };
};

TEST_F(GameResourceResolverTest, RefusesRequestsInTheirCheckOrder)
{
    auto id = open({});
    struct Case { GameResourceRequest request; LauncherGameError expected; };
    const Case cases[] = {
        { { "quorin-game://app/" + id.lowerString() + "/ruffle/core0.js", "POST", false }, LauncherGameError::resourceDenied() },
        { { "quorin-game://APP/" + id.lowerString() + "/ruffle/core0.js", "GET", false }, LauncherGameError::resourceDenied() },
        { { "quorin-game://app:80/" + id.lowerString() + "/ruffle/core0.js", "GET", false }, LauncherGameError::resourceDenied() },
        { { "quorin-game://app/" + id.lowerString() + "/ruffle/core%200.js", "GET", false }, LauncherGameError::resourceDenied() },
        { { "quorin-game://app/" + id.lowerString() + "/index.html", "GET", false }, LauncherGameError::sessionUnavailable() },
        { { "quorin-game://app/" + Uuid::random().lowerString() + "/ruffle/core0.js", "GET", false }, LauncherGameError::sessionUnavailable() },
    };
    for (const auto& row : cases)
        EXPECT_EQ(errorOf(resolver.resolve(row.request)), RuffleRuntimeError(row.expected)) << *row.request.url;
}

TEST_F(GameResourceResolverTest, ServesTheSessionsResourcesWithTheirHeadersUntilItExpires)
{
    auto withoutProxies = open({});
    EXPECT_TRUE(get(withoutProxies, "host/session.json")->bytes().ends_with(R"("socketProxy":[]})"));
    EXPECT_NE(get(withoutProxies, "host/index.html")->headers.at("Content-Security-Policy").find(
                  "; connect-src 'self' https://cdn.example.com https://play.example.com; style-src"),
        std::string::npos);

    auto id = open({ 41001, 41002 });
    auto upperCaseId = id.lowerString();
    std::ranges::transform(upperCaseId, upperCaseId.begin(), [](char c) { return static_cast<char>(std::toupper(c)); });
    auto file = resolver.resolve({ "quorin-game://app/" + upperCaseId + "//ruffle//core0.js", std::nullopt, false });
    ASSERT_TRUE(file.hasValue());
    EXPECT_EQ(file->bytes(), "file 0");
    EXPECT_EQ(file->mimeType, "text/javascript");
    EXPECT_EQ(file->headers, (std::map<std::string, std::string> { { "Cache-Control", "no-store" }, { "X-Content-Type-Options", "nosniff" } }));

    EXPECT_EQ(get(id, "host/session.json")->bytes(),
        R"({"baseURL":"https:\/\/play.example.com\/flash\/","movieURL":"https:\/\/play.example.com\/flash\/Loading.swf",)"
        R"("parameters":{"config":"https:\/\/play.example.com\/c.xml","key":"k","lang":"en","locale":"en","user":"u"},)"
        R"("socketProxy":[{"host":"server1.example.com","port":25565,"proxyUrl":"ws:\/\/127.0.0.1:41001\/p"},)"
        R"({"host":"server1.example.com","port":25566,"proxyUrl":"ws:\/\/127.0.0.1:41002\/p"}]})");
    auto page = get(id, "host/index.html");
    ASSERT_TRUE(page.hasValue());
    EXPECT_EQ(page->mimeType, "text/html");
    EXPECT_EQ(page->headers.at("Content-Security-Policy"),
        "default-src 'none'; script-src 'self' 'wasm-unsafe-eval' 'unsafe-eval'; "
        "connect-src 'self' https://cdn.example.com https://play.example.com ws://127.0.0.1:41001 ws://127.0.0.1:41002; "
        "style-src 'self' 'unsafe-inline'; img-src 'self' data: blob: https://cdn.example.com https://play.example.com; "
        "media-src 'self' blob: https://cdn.example.com https://play.example.com; font-src 'self' data:; worker-src 'self' blob:; "
        "object-src 'none'; base-uri 'none'; form-action 'none'; frame-src 'none'");

    now += PlaySession::lifetime;
    for (auto path : { "host/session.json", "host/index.html" })
        EXPECT_EQ(errorOf(get(id, path)), RuffleRuntimeError(LauncherGameError::expiredSession())) << path;
    EXPECT_TRUE(get(id, "ruffle/core7.js").hasValue());
}

} // namespace
} // namespace quorin
