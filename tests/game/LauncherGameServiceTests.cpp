#include "game/LauncherGameService.h"

#include "FakeSocketProxy.h"

#include <gtest/gtest.h>

#include <deque>

namespace quorin {
namespace {

class LauncherGameServiceTest : public testing::Test {
protected:
    std::shared_ptr<LauncherGameService> serviceWith(int sockets)
    {
        std::vector<GameSocketEndpoint> endpoints;
        for (int i = 0; i < sockets; ++i)
            endpoints.push_back({ "server" + std::to_string(i + 1) + ".play.example", 25565, [this] { return proxies.emplace_back(std::make_shared<FakeSocketProxy>(4000 + proxies.size())); } });
        return LauncherGameService::create({ *Url::parse("https://game.example") }, std::move(endpoints), [this] { return now; });
    }
    // Keeps the answer's JSON text or its error code in `answers` when it arrives.
    void call(LauncherGameService& service, const std::string& method, const std::string& arguments = "[]")
    {
        auto& answer = answers.emplace_back("pending");
        auto request = BridgeRequest::decode(R"({"schemaVersion":1,"requestId":"r","method":")" + method + R"(","arguments":)" + arguments + "}");
        service.handleGame(request.value(), [&answer](BridgeServiceResult result) { answer = result ? result->jsonText() : result.error().code.value_or("-"); });
    }
    void open(LauncherGameService& service) { call(service, "game.open", R"([{"serverId":"eu-1","locale":"en","flash":"https://game.example/swf/","config":"https://game.example/c","user":"u","key":"k"}])"); }
    Uuid sessionID(std::size_t answer) { auto text = answers[answer]; return *Uuid::parse(text.substr(text.find("app/") + 4, 36)); }

    GameTime now { std::chrono::hours(500000) };
    std::vector<std::shared_ptr<FakeSocketProxy>> proxies;
    std::deque<std::string> answers;
};

TEST_F(LauncherGameServiceTest, RefusesWrongShapesAndOpensWithoutSocketsUntilTheSessionExpires)
{
    auto service = serviceWith(0);
    call(*service, "game.open");
    call(*service, "game.open", R"(["{}"])");
    call(*service, "game.close", "[null]");
    call(*service, "getAppInfo");
    EXPECT_EQ(answers, (std::deque<std::string>(4, "GAME_SESSION_INVALID")));

    open(*service);
    auto id = sessionID(4);
    EXPECT_EQ(answers[4], "{\"hostURL\":\"quorin-game://app/" + id.lowerString() + "/host/index.html\",\"ok\":true}");
    const auto& store = *service->sessions();
    EXPECT_EQ(store.socketMappings(id).value(), std::vector<GameSessionStore::SocketMapping> {});
    EXPECT_TRUE(store.session(id, now + std::chrono::seconds(59)));
    EXPECT_EQ(store.session(id, now + std::chrono::seconds(60)).error(), LauncherGameError::expiredSession());
    EXPECT_EQ(store.session(Uuid::random(), now).error(), LauncherGameError::sessionUnavailable());
    EXPECT_EQ(testing::PrintToString(store), "GameSessionStore(sessions=1, payload=redacted)");
}

TEST_F(LauncherGameServiceTest, CloseOrANewerOpenWinsOverAnOpenWaitingForItsProxy)
{
    auto service = serviceWith(1);
    open(*service);
    call(*service, "game.close");
    proxies[0]->succeed();
    EXPECT_TRUE(answers[0] == "GAME_SOCKET_UNAVAILABLE" && proxies[0]->stopped);

    open(*service);
    open(*service);
    proxies[1]->succeed();
    proxies[2]->succeed();
    EXPECT_TRUE(answers[2] == "GAME_SOCKET_UNAVAILABLE" && proxies[1]->stopped);
    auto id = sessionID(3);
    EXPECT_EQ(service->sessions()->socketMappings(id).value(), (std::vector<GameSessionStore::SocketMapping> { { "server1.play.example", 25565, *Url::parse("ws://127.0.0.1:4002/p") } }));

    service->invalidate();
    EXPECT_TRUE(proxies[2]->stopped && !service->sessions()->isActive(id));
}

TEST_F(LauncherGameServiceTest, AFailedOpenLeavesNoProxyRunning)
{
    auto service = serviceWith(2);
    open(*service);
    proxies[0]->succeed();
    proxies[1]->finish(fail(LauncherGameError::socketConfigurationInvalid()));
    EXPECT_EQ(answers[0], "GAME_SOCKET_UNAVAILABLE");
    EXPECT_TRUE(proxies[0]->stopped && proxies[1]->stopped);
    EXPECT_EQ(service->sessions()->activeSessionCount(), 0u);

    open(*service);
    service.reset();
    proxies[2]->succeed();
    EXPECT_TRUE(answers[1] == "GAME_SOCKET_UNAVAILABLE" && proxies[2]->stopped);
}

} // namespace
} // namespace quorin
