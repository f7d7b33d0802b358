#include "core/Uuid.h"
#include "services/deeplinks/DeepLink.h"
#include "services/deeplinks/DeepLinkRouter.h"

#include <gtest/gtest.h>

namespace quorin {
namespace {

// "route state", or the refusal's code.
std::string parsed(const std::string& text) { auto link = DeepLink::parse(*Url::parse(text)); return link ? link->route + " " + link->state.value_or("-") : link.error().code(); }

std::string query(int items) { std::string text; for (int i = 0; i < items; ++i) text += (i ? "&k" : "?k") + std::to_string(i); return text; }

TEST(DeepLink, ReadsTheRouteAndStateAndRefusesInRuleOrder)
{
    const std::pair<std::string, std::string> cases[] = {
        { "quorin42://auth/callback?state=s1&state2", "auth s1" },
        { "QUORIN42://AUTH/CALLBACK?state=s1", "auth s1" },
        { "quorin42:auth/callback?state=a%20b", "auth a b" },
        { "quorin42:auth?code=1", "auth -" },
        { "quorin42://auth/?state", "auth -" },
        { "quorin42:///Recharge/pack", "recharge -" },
        { "quorin42://launch" + query(32), "launch -" },
        { "quorin42://play/" + std::string(4096 - 16, 'p'), "play -" },
        { "quorin42://play/" + std::string(4097 - 16, 'p'), "DEEP_LINK_URL_DENIED" },
        { "https://auth/callback?state=s1", "DEEP_LINK_URL_DENIED" },
        { "quorin42://play:1", "DEEP_LINK_URL_DENIED" },
        { "quorin42://play#", "DEEP_LINK_URL_DENIED" },
        { "quorin42://launch" + query(33), "DEEP_LINK_URL_DENIED" },
        { "quorin42://play?" + std::string(129, 'n'), "DEEP_LINK_URL_DENIED" },
        { "quorin42://auth/callback?state=a&state=b", "DEEP_LINK_URL_DENIED" },
        { "quorin42://settings", "DEEP_LINK_ROUTE_DENIED" },
        { "quorin42://auth/other", "DEEP_LINK_ROUTE_DENIED" },
        { "quorin42:auth/callback/x", "DEEP_LINK_ROUTE_DENIED" },
    };
    for (const auto& [text, expected] : cases)
        EXPECT_EQ(parsed(text), expected) << text;
}

class DeepLinkRouterTest : public testing::Test {
protected:
    std::string callback(const std::string& state) { auto delivery = router.routeLink(*Url::parse("quorin42://auth/callback?state=" + state)); return delivery ? "accepted" : delivery.error().code(); }

    std::chrono::steady_clock::time_point now;
    std::string generated;
    DeepLinkRouter router { 600, [this] { return generated; }, [this] { return now; } };
};

TEST_F(DeepLinkRouterTest, StateWorksOnceWithinItsClampedLifetimeAndTheNinthPushesOutTheFirst)
{
    generated = "a", router.newLoginState();
    now += std::chrono::seconds(599);
    generated = "b", router.newLoginState();
    EXPECT_EQ(callback("a"), "accepted");
    EXPECT_EQ(callback("a"), "DEEP_LINK_STATE_REJECTED");
    now += std::chrono::seconds(600);
    EXPECT_EQ(callback("b"), "DEEP_LINK_STATE_REJECTED");

    for (char name = '1'; name <= '9'; ++name)
        generated = std::string(1, name), router.newLoginState();
    EXPECT_EQ(callback("1"), "DEEP_LINK_STATE_REJECTED");
    EXPECT_EQ(callback("2"), "accepted");
    EXPECT_EQ(DeepLinkRouter(0).stateLifetimeSeconds(), 1);
    EXPECT_EQ(DeepLinkRouter(7200).stateLifetimeSeconds(), 3600);
}

TEST_F(DeepLinkRouterTest, GeneratedStatesAreTrimmedOrReplacedByAFreshUuid)
{
    const std::pair<std::string, std::string> cases[] = {
        { " s1 \n", "s1" },
        { std::string(256, 'x'), std::string(256, 'x') },
        { "s1", "" }, // pending already
        { "\t\n", "" },
        { std::string(257, 'x'), "" },
    };
    for (const auto& [generator, expected] : cases) {
        generated = generator;
        auto state = router.newLoginState();
        bool freshUuid = Uuid::parse(state) && Uuid::parse(state)->lowerString() == state;
        EXPECT_EQ(freshUuid ? "" : state, expected);
    }
}

TEST(DeepLinkRouter, KeepsTheLatestLinkUntilThePageAsksThenSendsEvents)
{
    DeepLinkRouter router(600);
    auto route = [&](const char* text) { return router.route(*Url::parse(text)); };
    EXPECT_EQ(route("quorin42://play?a=1")->pageEvent, std::nullopt);
    EXPECT_EQ(route("quorin42://launch")->pageEvent, std::nullopt);
    EXPECT_EQ(route("quorin42://settings"), std::nullopt);
    EXPECT_EQ(router.takeStartupURL(), "quorin42://launch");
    EXPECT_EQ(router.takeStartupURL(), std::nullopt);
    EXPECT_EQ(route("quorin42:play?a=1")->pageEvent, "quorin42:play?a=1");
    EXPECT_TRUE(Uuid::parse(router.newLoginState())) << "random states by default";
}

} // namespace
} // namespace quorin
