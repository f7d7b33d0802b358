// The launcher's web view in the real engine: the bridge as the page sees it, where it may
// be used from, the navigation rules, events and load states.

#include "core/LocalFolderCases.h"
#include "e2e/LauncherPage.h"
#include "support/PageScriptRunner.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <cstring>
#include <filesystem>

namespace quorin::test {
namespace {

constexpr char plainPage[] = "<!doctype html><html><body><p id=marker>web ui</p></body></html>";

TEST(LauncherWebViewController, PublishesTheBridgeThatRoundTripsAndRefusesSubFramesWhichMayGoToAboutBlank)
{
    LauncherPage page({ .indexHTML = R"(<!doctype html><script>window.childReply = new Promise((done) => addEventListener("message", (event) => done(event.data)));</script>
        <iframe src="child.html"></iframe>)" });
    page.folder.write("WebUI/renderer/child.html", R"(<!doctype html><script>__quorinBridge.postMessage({ schemaVersion: 1, requestId: "child_1",
        method: "getAppInfo", arguments: [] }).then((reply) => parent.postMessage(reply, "*"));</script>)");
    ASSERT_TRUE(page.load());

    EXPECT_EQ(page.value("document.documentElement.dataset.runtimeHost"), "\"linux\"");
    // Compared as JSON trees: the page keeps its own member order. A body over the size limit
    // travels through the engine and is refused by the host, and so is the sub-frame's request.
    EXPECT_EQ(nlohmann::json::parse(page.awaited("return [await electronAPI.getAppInfo(), await electronAPI.getRuntimeConfig(),"
                                                 " await __quorinBridge.postMessage({ schemaVersion: 1, requestId: 'big', method: 'getAppInfo',"
                                                 " arguments: Array(16).fill('x'.repeat(20000)) }), await childReply];")),
        nlohmann::json::parse(R"([{"appName":"Quorin 4.2","appVersion":"9.9.9","platform":"linux"},
            {"apiBaseUrl":"https://api.quorin42.test/api","isPackaged":true,"missingKeys":[]},
            {"ok":false,"requestId":"invalid","error":{"code":"BRIDGE_REQUEST_INVALID"}},
            {"ok":false,"requestId":"invalid","error":{"code":"BRIDGE_SOURCE_DENIED"}}])"));
    // The sub-frame may go to about:blank, which the main frame may not; the page stays ready.
    EXPECT_EQ(page.awaited("const frame = document.querySelector('iframe'); const loaded = new Promise((done) => frame.onload = done);"
                           " frame.src = 'about:blank'; await loaded; return true;"), "true");
    EXPECT_EQ(page.controller->state(), LauncherWebViewState::ready());
}

// Without the extension a page has no bridge and no file filter: it must never count as ready.
TEST(LauncherWebViewController, FailsAPageLoadedWithoutItsExtension)
{
    LauncherPage page({ .indexHTML = plainPage, .extensionsFolder = "no-extension" });
    page.controller->load();
    ASSERT_TRUE(runUntil([&] { return page.controller->state().stateCase() == LauncherWebViewState::Case::Failed; }));
    PageScriptRunner::runFor(std::chrono::milliseconds(300));
    EXPECT_EQ(page.controller->state(), LauncherWebViewState::failed(LauncherWebViewFailure::navigationFailed()));
}

TEST(LauncherWebViewController, WritesThePageConsoleOnlyWhenAsked)
{
    for (bool asked : { true, false }) {
        ::testing::internal::CaptureStdout();
        {
            LauncherPage page({ .indexHTML = "<!doctype html><script>console.log('first line');\nconsole.error('second line');</script>",
                .writesPageConsole = asked, .persistentWebsiteData = true });
            EXPECT_TRUE(page.load());
            PageScriptRunner::runFor(std::chrono::milliseconds(300));
        }
        auto output = ::testing::internal::GetCapturedStdout();
        // One line each, the text unchanged at its end; a source location may come first.
        auto second = output.find('\n') + 1;
        EXPECT_TRUE(asked ? output.substr(0, second).ends_with("first line\n") && output.substr(second).ends_with("second line\n")
                                && std::count(output.begin(), output.end(), '\n') == 2
                          : output.empty())
            << asked << ": " << output;
    }
}

TEST(LauncherWebViewController, RefusesRequestsFromDocumentsOutsideTheBridgeFolder)
{
    // The page lives in a sibling folder whose name starts like the web UI folder's.
    LauncherPage page({ .indexHTML = plainPage, .indexPath = "WebUI-other/renderer/index.html", .bundleRoot = "", .bridgeRoot = "WebUI" });
    ASSERT_TRUE(page.load());
    EXPECT_EQ(page.awaited("try { await window.electronAPI.getAppInfo(); return 'answered'; } catch (e) { return e.code; }"), "\"BRIDGE_SOURCE_DENIED\"");
}

// Scripts named by every form of file URL the extension must judge: only those inside the
// web UI folder load.
TEST(LauncherWebViewController, LoadsOnlyTheFilesTheFolderRuleLetsIn)
{
    std::string page = "<!doctype html><script>window.loaded = [];</script>";
    std::vector<std::size_t> expected;
    LauncherPage probe({ .indexHTML = "", .indexPath = "WebUI/index.html" });
    std::string root = Url::fileURL(probe.folder.path()).string().substr(std::strlen("file://"));
    for (std::size_t row = 0; row < std::size(localFolderCases); ++row) {
        if (localFolderCases[row].seen != LocalFolderCase::Seen::InPage)
            continue;
        page += "<script data-row='" + std::to_string(row) + "' src='" + withRoot(localFolderCases[row].url, root) + "'></script>";
        if (localFolderCases[row].inside)
            expected.push_back(row);
    }
    for (const char* file : { "WebUI/inside.js", "outside.js", "WebUI-other/sibling.js" })
        probe.folder.write(file, "loaded.push(Number(document.currentScript.dataset.row));");
    probe.folder.write("WebUI/index.html", page);
    ASSERT_TRUE(probe.load());
    EXPECT_EQ(nlohmann::json::parse(probe.value("window.loaded")), nlohmann::json(expected));
}

TEST(LauncherWebViewController, DropsEventsBeforeThePageAndDeliversQueuedOnesToAListener)
{
    LauncherPage page({ .indexHTML = plainPage });
    int delivered = 0;
    auto count = [&delivered](bool succeeded) { delivered += succeeded; };
    page.controller->dispatchNativeEvent("deepLink", BridgeValue::string("before the page"), count);
    ASSERT_TRUE(runUntil([&] { return delivered == 1; }));
    ASSERT_TRUE(page.load());
    page.controller->dispatchNativeEvent("deepLink",
        BridgeValue::object({ { "route", BridgeValue::string("/play") }, { "list", BridgeValue::array({ BridgeValue::number(1.5), BridgeValue::null() }) } }), count);
    ASSERT_TRUE(runUntil([&] { return delivered == 2; }));

    EXPECT_EQ(page.value("(() => { window.seen = []; electronAPI.onDeepLink((payload) => seen.push(payload)); return seen; })()"),
        R"([{"list":[1.5,null],"route":"/play"}])");
}

// A script run in the loaded page, and the URL expected at the external opener ("" for none).
struct NavigationCase { const char *name, *script, *opened; };

class LauncherWebViewNavigation : public ::testing::TestWithParam<NavigationCase> { };

TEST_P(LauncherWebViewNavigation, KeepsThePageInItsOneWindowAndOpensOnlyClickedLinksOutside)
{
    LauncherPage page({ .indexHTML = R"(<!doctype html><a id=untrusted href="https://untrusted.example/page">out</a><script>window.marker = "still here";</script>)" });
    ASSERT_TRUE(page.load());
    auto location = page.value("location.href");

    page.value(GetParam().script);
    PageScriptRunner::runFor(std::chrono::milliseconds(700));
    // A target the main frame may not show that committed anyway is replaced by the web UI.
    ASSERT_TRUE(runUntil([&] { return page.controller->state() == LauncherWebViewState::ready(); }));

    EXPECT_EQ(page.value("[window.marker, location.href]"), "[\"still here\"," + location + "]");
    EXPECT_EQ(page.externallyOpened, *GetParam().opened ? std::vector<std::string> { GetParam().opened } : std::vector<std::string> {});
    EXPECT_EQ(g_list_model_get_n_items(gtk_window_get_toplevels()), 1u);
}

INSTANTIATE_TEST_SUITE_P(Engine, LauncherWebViewNavigation,
    ::testing::Values(NavigationCase { "ClickedUntrustedLink", "document.getElementById('untrusted').click(); true", "https://untrusted.example/page" },
        NavigationCase { "ScriptToUntrusted", "location.href = 'https://untrusted.example/'; true", "" },
        NavigationCase { "MainFrameAboutBlank", "location.href = 'about:blank'; true", "" },
        NavigationCase { "FileOutsideTheFolder", "location.href = 'file:///etc/hostname'; true", "" }),
    [](const ::testing::TestParamInfo<NavigationCase>& param) { return std::string(param.param.name); });

// Clicks the page makes on its own carry no user gesture: they must not reach the browser.
TEST(LauncherWebViewController, OpensNothingForClicksThePageMakesItself)
{
    LauncherPage page({ .indexHTML = R"(<!doctype html><a id=out href="https://untrusted.example/">out</a><script>
        const link = document.getElementById("out");
        for (let i = 0; i < 20; ++i) link.click();
        link.dispatchEvent(new MouseEvent("click", { bubbles: true, cancelable: true }));
        setTimeout(() => { link.click(); window.done = true; }, 1100);</script>)" });
    ASSERT_TRUE(page.load());
    ASSERT_TRUE(runUntil([&] { return page.value("window.done") == "true"; }));
    PageScriptRunner::runFor(std::chrono::milliseconds(300));
    EXPECT_EQ(page.externallyOpened, std::vector<std::string> {});
}

TEST(LauncherWebViewController, LoadsOnceAndRetriesAfterAFailure)
{
    LauncherPage page({ .indexHTML = plainPage, .indexPath = "WebUI/renderer/missing/index.html" });
    std::filesystem::remove(page.folder.pathOf("WebUI/renderer/missing/index.html"));
    std::vector<LauncherWebViewState> states;
    page.controller->setStateObserver([&](const LauncherWebViewState& state) { states.push_back(state); });

    page.controller->load();
    page.controller->load();
    ASSERT_TRUE(runUntil([&] { return !states.empty() && states.back() != LauncherWebViewState::loading(); }));
    EXPECT_EQ(states, (std::vector { LauncherWebViewState::loading(), LauncherWebViewState::failed(LauncherWebViewFailure::navigationFailed()) }));

    page.folder.write("WebUI/renderer/missing/index.html", plainPage);
    page.controller->retry();
    EXPECT_TRUE(runUntil([&] { return page.controller->state() == LauncherWebViewState::ready(); }));
    EXPECT_EQ(page.value("document.getElementById('marker').textContent"), "\"web ui\"");
}

} // namespace
} // namespace quorin::test
