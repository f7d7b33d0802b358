// The launcher's web view in the real engine: the bridge as the page sees it, where it may
// be used from, the navigation rules, events, load states and page dialogs.

#include "e2e/ControllerFixture.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <nlohmann/json.hpp>

namespace quorin::test {
namespace {

constexpr char plainPage[] = "<!doctype html><html><body><p id=marker>web ui</p></body></html>";

TEST(LauncherWebViewController, PublishesAFrozenBridgeThatRoundTrips)
{
    ControllerFixture fixture({ .indexHTML = plainPage });
    ASSERT_TRUE(fixture.loadAndWait());
    const auto& page = fixture.page();

    EXPECT_EQ(page.value("typeof window.electronAPI"), "\"object\"");
    EXPECT_EQ(page.value("Object.isFrozen(window.electronAPI)"), "true");
    EXPECT_EQ(page.value("(() => { try { window.electronAPI = 1; } catch (e) {} return typeof window.electronAPI; })()"), "\"object\"");
    EXPECT_EQ(page.value("document.documentElement.dataset.runtimeHost"), "\"linux\"");

    EXPECT_EQ(page.asyncValue("return await window.electronAPI.getAppInfo();"),
        R"({"appName":"Quorin 4.2","appVersion":"9.9.9","platform":"linux"})");
    // Compared as JSON trees: the page keeps its own member order.
    EXPECT_EQ(nlohmann::json::parse(page.asyncValue("return await window.electronAPI.getRuntimeConfig();")),
        BridgeValue::object(fixture.runtimeConfig()).toJson());
    EXPECT_EQ(page.asyncValue("return window.electronAPI.runtimeConfig.apiBaseUrl;"), "\"https://api.quorin42.test/api\"");
}

TEST(LauncherWebViewController, RefusesRequestsFromSubFrames)
{
    const char* child = R"(<!doctype html><script>
        window.__quorinBridge.postMessage({ schemaVersion: 1, requestId: "child_1", method: "getAppInfo", arguments: [] })
            .then((reply) => parent.postMessage(JSON.stringify(reply), "*"));
        </script>)";
    const char* index = R"(<!doctype html><script>
        window.replies = [];
        addEventListener("message", (event) => window.replies.push(event.data));
        </script><iframe src="child.html"></iframe>)";
    ControllerFixture fixture({ .indexHTML = index });
    fixture.folder().write("WebUI/renderer/child.html", child);
    ASSERT_TRUE(fixture.loadAndWait());

    ASSERT_TRUE(runUntil([&] { return fixture.page().value("window.replies.length") == "1"; }));
    EXPECT_EQ(fixture.page().value("window.replies[0]"),
        R"("{\"error\":{\"code\":\"BRIDGE_SOURCE_DENIED\"},\"ok\":false,\"requestId\":\"invalid\"}")");
}

TEST(LauncherWebViewController, RefusesDocumentsOutsideTheWebUIFolder)
{
    // The page lives in a sibling folder whose name starts like the web UI folder's.
    ControllerFixture fixture({ .indexHTML = plainPage, .indexPath = "WebUI-other/renderer/index.html", .bundleRoot = "" , .bridgeRoot = "WebUI" });
    ASSERT_TRUE(fixture.loadAndWait());
    EXPECT_EQ(fixture.page().asyncValue("try { await window.electronAPI.getAppInfo(); return 'answered'; } catch (e) { return e.code; }"),
        "\"BRIDGE_SOURCE_DENIED\"");
}

TEST(LauncherWebViewController, LoadsNoFileFromOutsideTheWebUIFolder)
{
    const char* index = R"(<!doctype html>
        <script src="inside.js"></script>
        <script src="../../outside.js"></script>
        <script src="../../WebUI-other/sibling.js"></script>)";
    ControllerFixture fixture({ .indexHTML = index });
    fixture.folder().write("WebUI/renderer/inside.js", "window.inside = true;");
    fixture.folder().write("outside.js", "window.outside = true;");
    fixture.folder().write("WebUI-other/sibling.js", "window.sibling = true;");
    ASSERT_TRUE(fixture.loadAndWait());
    EXPECT_EQ(fixture.page().value("[window.inside, window.outside, window.sibling].map(String).join()"), "\"true,undefined,undefined\"");
}

TEST(LauncherWebViewController, DeliversEventsQueuedBeforeTheListenerOnce)
{
    ControllerFixture fixture({ .indexHTML = plainPage });
    ASSERT_TRUE(fixture.loadAndWait());
    int delivered = 0;
    auto count = [&delivered](bool succeeded) { delivered += succeeded; };
    fixture.controller().dispatchNativeEvent("deepLink", BridgeValue::string("first"), count);
    fixture.controller().dispatchNativeEvent("deepLink",
        BridgeValue::object({ { "route", BridgeValue::string("/play") }, { "list", BridgeValue::array({ BridgeValue::number(1.5), BridgeValue::null(), BridgeValue::boolean(false) }) } }),
        count);
    ASSERT_TRUE(runUntil([&] { return delivered == 2; }));

    EXPECT_EQ(fixture.page().value(R"((() => {
        window.seen = [];
        window.electronAPI.onDeepLink((payload) => window.seen.push(["first", payload]));
        window.electronAPI.onDeepLink((payload) => window.seen.push(["second", payload]));
        return window.seen; })())"),
        R"([["first",{"list":[1.5,null,false],"route":"/play"}]])");
}

TEST(LauncherWebViewController, EventsBeforeTheDispatcherExistAreDroppedQuietly)
{
    ControllerFixture fixture({ .indexHTML = plainPage });
    std::optional<bool> outcome;
    fixture.controller().dispatchNativeEvent("deepLink", BridgeValue::string("early"), [&](bool succeeded) { outcome = succeeded; });
    ASSERT_TRUE(runUntil([&] { return outcome.has_value(); }));
    EXPECT_TRUE(*outcome);
}

struct NavigationCase {
    const char* name;
    const char* script;       // run in the loaded page
    const char* opened;       // URL expected at the external opener, or "" for none
};

class LauncherWebViewNavigation : public testing::TestWithParam<NavigationCase> { };

TEST_P(LauncherWebViewNavigation, KeepsThePageAndOpensOnlyClickedLinksOutside)
{
    const auto& navigation = GetParam();
    const char* index = R"(<!doctype html><body>
        <a id=untrusted href="https://untrusted.example/page">out</a>
        <a id=mail href="mailto:support@quorin42.test">mail</a>
        <a id=ftp href="ftp://files.example/">ftp</a>
        <script>window.marker = "still here";</script></body>)";
    ControllerFixture fixture({ .indexHTML = index });
    ASSERT_TRUE(fixture.loadAndWait());
    auto location = fixture.page().value("location.href");

    ASSERT_TRUE(fixture.page().evaluate(navigation.script).hasValue());
    runFor(std::chrono::milliseconds(700));

    EXPECT_EQ(fixture.page().value("window.marker"), "\"still here\"");
    EXPECT_EQ(fixture.page().value("location.href"), location);
    EXPECT_EQ(fixture.controller().state(), LauncherWebViewState::ready());
    std::vector<std::string> expected;
    if (*navigation.opened)
        expected.push_back(navigation.opened);
    EXPECT_EQ(fixture.externallyOpened(), expected);
}

INSTANTIATE_TEST_SUITE_P(Engine, LauncherWebViewNavigation,
    testing::Values(
        NavigationCase { "ClickedUntrustedLink", "document.getElementById('untrusted').click(); true", "https://untrusted.example/page" },
        NavigationCase { "ClickedMailto", "document.getElementById('mail').click(); true", "mailto:support@quorin42.test" },
        NavigationCase { "ClickedFtp", "document.getElementById('ftp').click(); true", "" },
        NavigationCase { "ScriptToUntrusted", "location.href = 'https://untrusted.example/'; true", "" },
        NavigationCase { "MainFrameAboutBlank", "location.href = 'about:blank'; true", "" },
        NavigationCase { "MainFrameGamePage", "location.href = 'quorin-game://app/6F9619FF-8B86-D011-B42D-00C04FC964FF/host/index.html'; true", "" },
        NavigationCase { "FileOutsideTheFolder", "location.href = 'file:///etc/hostname'; true", "" },
        NavigationCase { "WindowOpenTrusted", "window.open('https://login.quorin42.test/'); true", "" },
        NavigationCase { "WindowOpenUntrusted", "window.open('https://untrusted.example/'); true", "" }),
    [](const testing::TestParamInfo<NavigationCase>& param) { return std::string(param.param.name); });

TEST(LauncherWebViewController, LetsAnIframeNavigateToAboutBlank)
{
    const char* index = R"(<!doctype html><script>window.loads = 0;</script>
        <iframe id=frame src="child.html" onload="window.loads++"></iframe>)";
    ControllerFixture fixture({ .indexHTML = index });
    fixture.folder().write("WebUI/renderer/child.html", "<p>child</p>");
    ASSERT_TRUE(fixture.loadAndWait());
    ASSERT_TRUE(runUntil([&] { return fixture.page().value("window.loads") == "1"; }));

    ASSERT_TRUE(fixture.page().evaluate("document.getElementById('frame').src = 'about:blank'; true").hasValue());
    EXPECT_TRUE(runUntil([&] { return fixture.page().value("window.loads") == "2"; }));
    EXPECT_EQ(fixture.controller().state(), LauncherWebViewState::ready());
}

TEST(LauncherWebViewController, NeverOpensASecondWindow)
{
    ControllerFixture fixture({ .indexHTML = plainPage });
    ASSERT_TRUE(fixture.loadAndWait());
    EXPECT_EQ(fixture.page().value("window.open('https://login.quorin42.test/') === null"), "true");
    runFor(std::chrono::milliseconds(300));
    GListModel* toplevels = gtk_window_get_toplevels();
    EXPECT_EQ(g_list_model_get_n_items(toplevels), 1u);
}

TEST(LauncherWebViewController, LoadsOnceAndRetriesAfterAFailure)
{
    ControllerFixture fixture({ .indexHTML = plainPage, .indexPath = "WebUI/renderer/missing/index.html" });
    std::filesystem::remove(fixture.folder().path() + "/WebUI/renderer/missing/index.html");
    std::vector<LauncherWebViewState> states;
    fixture.controller().setStateObserver([&](const LauncherWebViewState& state) { states.push_back(state); });

    fixture.controller().load();
    fixture.controller().load();
    ASSERT_TRUE(fixture.waitForState(LauncherWebViewState::failed(LauncherWebViewFailure::NavigationFailed)));
    EXPECT_EQ(states.front(), LauncherWebViewState::loading());

    fixture.folder().write("WebUI/renderer/missing/index.html", plainPage);
    fixture.controller().retry();
    EXPECT_TRUE(fixture.waitForState(LauncherWebViewState::ready()));
    EXPECT_EQ(fixture.page().value("document.getElementById('marker').textContent"), "\"web ui\"");
}

} // namespace
} // namespace quorin::test
