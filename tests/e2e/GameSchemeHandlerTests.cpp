#include "LauncherPage.h"

#include "game/GameSchemeHandler.h"
#include "game/RuntimeFolder.h"

#include <gtest/gtest.h>

namespace quorin {
namespace {

// The host page's script checks what the engine made of the scheme's answers and tells the
// web UI page; the inline script must not run under the page's policy.
constexpr auto hostPage = R"(<!doctype html><script src="ruffle-host.js"></script><script>parent.postMessage("inline script ran", "*")</script>)";
constexpr auto hostScript = R"((async () => {
  const description = await fetch("session.json");
  const report = [description.headers.get("content-type"), description.headers.get("cache-control"), (await description.json()).movieURL];
  report.push(typeof (await WebAssembly.instantiateStreaming(fetch("../ruffle/tiny.wasm"))).instance);
  report.push(await fetch("../../ruffle-manifest.json").then(() => "served", () => "refused"));
  parent.postMessage(report, "*");
})().catch((error) => parent.postMessage(String(error), "*"));)";

TEST(GameSchemeHandler, ServesTheHostPageItsDescriptionAndStreamedRuntimeUnderItsPolicy)
{
    testing::RuntimeFolder runtimeFolder;
    std::string wasm("\0asm\1\0\0\0", 8);
    runtimeFolder.directory.write("ruffle/tiny.wasm", wasm);
    runtimeFolder.manifest["files"][0] = { { "path", "tiny.wasm" }, { "sha256", sha256Hex(wasm) } };
    runtimeFolder.directory.write("host/index.html", hostPage);
    runtimeFolder.directory.write("host/ruffle-host.js", hostScript);

    auto now = std::chrono::system_clock::now();
    auto sessions = std::make_shared<GameSessionStore>();
    auto ticket = sessions->open({ "s1", *Url::parse("https://play.quorin42.test/flash/Loading.swf"), *Url::parse("https://play.quorin42.test/flash/"),
                                     { { "user", "u" } }, now + PlaySession::lifetime },
        now);
    auto handler = std::make_shared<GameSchemeHandler>(GameResourceResolver(sessions, std::make_shared<RuffleRuntimeManifest>(MUST(runtimeFolder.load())),
        { *Url::parse("https://play.quorin42.test") }, [now] { return now; }));

    test::LauncherPage page({ .indexHTML = "<!doctype html><script>window.reports = []; addEventListener('message', (event) => reports.push(event.data));</script>",
        .gameSchemeHandler = WebViewSchemeHandler { "quorin-game", [handler](WebKitURISchemeRequest* request) { handler->start(request); } } });
    ASSERT_TRUE(page.load());
    page.value("document.body.appendChild(Object.assign(document.createElement('iframe'), { src: '" + ticket->hostURL().string() + "' })), 0");
    ASSERT_TRUE(test::runUntil([&] { return page.value("reports.length") != "0"; }));
    EXPECT_EQ(page.value("reports"), R"([["application/json","no-store","https://play.quorin42.test/flash/Loading.swf","object","refused"]])");
}

} // namespace
} // namespace quorin
