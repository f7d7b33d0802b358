// The bridge's path from page script through the web-process extension and back, in a real web view.

#include "e2e/LauncherPage.h"
#include "support/PageScriptRunner.h"
#include "webview/BridgeMessageReply.h"
#include "webview/BridgeMessageTransport.h"
#include "webview/WebProcessExtensions.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace quorin::test {
namespace {

using nlohmann::json;
using Reply = BridgeMessageTransport::Reply;

constexpr char successReply[] = R"({"ok":true,"requestId":"t_1","value":{"text":"é ✓ </script>"}})";

// A web view with the extension, in a web context of its own, over a folder the sandbox may read.
struct ExtensionWebView {
    ExtensionWebView()
    {
        useWebProcessExtensions(context.get(), QUORIN_WEB_EXTENSION_DIR);
        webkit_web_context_add_path_to_sandbox(context.get(), folder.path().c_str(), TRUE);
        view = glib::adoptFloatingGRef(WEBKIT_WEB_VIEW(g_object_new(WEBKIT_TYPE_WEB_VIEW, "web-context", context.get(), "network-session", session.get(), nullptr)));
        window = showInWindow(GTK_WIDGET(view.get()));
    }
    ~ExtensionWebView()
    {
        gtk_window_destroy(window.get());
        window.reset();
        view.reset();
        // Let the engine see the view go before the next test starts a new one.
        PageScriptRunner::runFor(std::chrono::milliseconds(10));
    }

    std::string writeFixture(const std::string& name, const std::string& content) const { return Url::fileURL(folder.write(name, content)).string(); }
    json run(const std::string& asyncBody) const { return json::parse(awaitedValue(view.get(), asyncBody), nullptr, false); }

    bool load(const std::string& uri) const
    {
        bool finished = false;
        auto connection = glib::SignalConnection::connect(view.get(), "load-changed", G_CALLBACK(+[](WebKitWebView*, WebKitLoadEvent event, bool* done) {
            *done |= event == WEBKIT_LOAD_FINISHED;
        }), &finished);
        webkit_web_view_load_uri(view.get(), uri.c_str());
        return runUntil([&] { return finished; });
    }

    testing::TemporaryDirectory folder;
    glib::GRef<WebKitWebContext> context { glib::adoptGRef(webkit_web_context_new()) };
    glib::GRef<WebKitNetworkSession> session { glib::adoptGRef(webkit_network_session_new_ephemeral()) };
    glib::GRef<WebKitWebView> view;
    glib::GRef<GtkWindow> window;
};

std::string settledPost(const std::string& bodyExpression)
{
    return "try { return { resolved: await window.__quorinBridge.postMessage(" + bodyExpression + ") }; }"
           " catch (error) { return { rejected: String(error.code), isError: error instanceof Error }; }";
}

class BridgeTransportTest : public ::testing::Test {
protected:
    // One window and web view for the suite: starting the engine dominates the run time.
    static void SetUpTestSuite() { s_harness = std::make_unique<ExtensionWebView>(); }
    static void TearDownTestSuite() { s_harness.reset(); }

    void loadPage(const std::string& html = "<!doctype html><title>top</title>")
    {
        pageURI = harness.writeFixture(std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()) + ".html", html);
        ASSERT_TRUE(harness.load(pageURI));
    }

    static inline std::unique_ptr<ExtensionWebView> s_harness;
    ExtensionWebView& harness { *s_harness };
    std::string pageURI;
    std::function<void(Reply&)> answer = [](Reply& reply) { reply(successReply); };
    std::vector<json> received; // [body, is main frame, document URL]
    std::vector<Reply> heldReplies;
    BridgeMessageTransport transport { harness.view.get(),
        [this](std::string body, bool isMainFrame, std::optional<std::string> documentURL, Reply reply) {
            received.push_back({ json::parse(body, nullptr, false), isMainFrame, documentURL.value_or("<none>") });
            answer(reply);
        } };
};

TEST_F(BridgeTransportTest, EachFramePostsWithItsOwnDocumentAndGetsItsOwnReplyInWhateverOrderItComes)
{
    answer = [this](Reply& reply) { heldReplies.push_back(reply); };
    // Each sub-frame forwards the value it got back to the top document.
    auto posting = [](const std::string& from) {
        return "__quorinBridge.postMessage({ from: '" + from + "' }).then(r => parent.postMessage(r.value, '*'))";
    };
    std::string frameURI = harness.writeFixture("frame.html", "<script>" + posting("file") + "</script>");
    loadPage("<!doctype html><script>window.replies = new Promise(done => { const values = [];"
             "  addEventListener('message', e => { values.push(e.data); if (values.length === 3) done(values.sort()); }); });</script>"
             "<iframe src='frame.html'></iframe><iframe srcdoc=\"<script>" + posting("srcdoc") + "</script>\"></iframe>");
    ASSERT_EQ(pageValue(harness.view.get(), "const blank = document.createElement('iframe'); document.body.appendChild(blank);"
                                            "blank.contentWindow.eval(\"" + posting("blank") + "\"); true"), "true");

    ASSERT_TRUE(runUntil([&] { return heldReplies.size() == 3; }));
    for (int index : { 2, 0, 1 })
        heldReplies[index](json({ { "ok", true }, { "value", received[index][0]["from"] } }).dump());
    EXPECT_EQ(harness.run("return await window.replies;"), json({ "blank", "file", "srcdoc" }));
    answer = [](Reply& reply) { reply(successReply); };
    EXPECT_EQ(harness.run(settledPost("{ from: 'top' }")), json({ { "resolved", json::parse(successReply) } }));
    std::sort(received.begin(), received.end());
    EXPECT_EQ(received, (std::vector<json> { { { { "from", "blank" } }, false, "about:blank" }, { { { "from", "file" } }, false, frameURI },
                            { { { "from", "srcdoc" } }, false, "about:srcdoc" }, { { { "from", "top" } }, true, pageURI } }));
}

TEST_F(BridgeTransportTest, EveryRequestSettlesExactlyOnceWhateverTheHandlerDoesAndUnserialisableOnesNeverReachIt)
{
    const json failed = json::parse(BridgeMessageReply::failedReplyJSON());
    const std::pair<std::function<void(Reply&)>, json> cases[] = {
        { [](Reply&) {}, { { "resolved", failed } } },
        { [](Reply& reply) { reply(R"({"first":1})"); reply(R"({"second":2})"); }, { { "resolved", { { "first", 1 } } } } },
        { [](Reply& reply) { g_idle_add_once([](gpointer later) { std::unique_ptr<Reply>(static_cast<Reply*>(later))->operator()(R"({"later":true})"); }, new Reply(reply)); },
            { { "resolved", { { "later", true } } } } },
        { [](Reply& reply) { reply("{\"bad\":\"\xff\"}"); }, { { "resolved", failed } } },
        { [](Reply& reply) { reply("{ok: true"); }, { { "rejected", "BRIDGE_FAILED" }, { "isError", true } } },
    };
    loadPage();
    for (const auto& [answerWith, expected] : cases) {
        answer = answerWith;
        EXPECT_EQ(harness.run(settledPost("{}")), expected);
    }
    // Bodies JSON.stringify throws on or turns into no text reject without reaching the handler.
    received.clear();
    for (const char* body : { "(() => { const cyclic = {}; cyclic.self = cyclic; return cyclic; })()", "() => 1" })
        EXPECT_EQ(harness.run(settledPost(body)), json({ { "rejected", "BRIDGE_REQUEST_INVALID" }, { "isError", true } })) << body;
    EXPECT_TRUE(received.empty());
}

TEST_F(BridgeTransportTest, PageScriptCannotReplaceDeleteOrAlterTheHandlerInAnyFrame)
{
    const char* attacks = R"js(const attacks = ["w.__quorinBridge = { postMessage() { return 'fake'; } }", "delete w.__quorinBridge",
        "w.eval('var __quorinBridge = 5;')", "w.Object.defineProperty(w, '__quorinBridge', { value: {} })", "w.__quorinBridge.postMessage = () => 'fake'",
        "w.Object.defineProperty(w.__quorinBridge, 'postMessage', { value: () => 'fake' })", "w.__quorinBridge.postMessage.call = () => 'fake'"];)js";
    loadPage("<!doctype html><iframe></iframe>");
    // The top document and a same-origin about:blank child it can reach; each attack on its own, strict and sloppy.
    for (const char* target : { "window", "document.querySelector('iframe').contentWindow" }) {
        json outcome = harness.run(std::string("const w = ") + target + "; const original = w.__quorinBridge; const post = original.postMessage;"
            + attacks + "for (const attack of attacks) { try { new Function('w', `'use strict'; ${attack}`)(w); } catch (_) {}"
            "  try { new Function('w', attack)(w); } catch (_) {} }"
            "const d = Object.getOwnPropertyDescriptor(w, '__quorinBridge');"
            "return { same: w.__quorinBridge === original && original.postMessage === post,"
            "  frozen: Object.isFrozen(original) && Object.isFrozen(post), writable: d.writable, configurable: d.configurable,"
            "  reply: await w.__quorinBridge.postMessage({ probe: true }) };");
        EXPECT_EQ(outcome, json({ { "same", true }, { "frozen", true }, { "writable", false }, { "configurable", false },
                               { "reply", json::parse(successReply) } })) << target;
    }
}

TEST_F(BridgeTransportTest, PostFunctionKeptFromAReplacedDocumentCannotSpeakForItsSuccessor)
{
    loadPage("<!doctype html><iframe srcdoc='<p>first'></iframe>");
    ASSERT_EQ(awaitedValue(harness.view.get(), "const frame = document.querySelector('iframe');"
                                               "window.stalePost = frame.contentWindow.__quorinBridge.postMessage;"
                                               "const replaced = new Promise(done => frame.onload = done);"
                                               "frame.srcdoc = '<p>second'; await replaced; return true;"), "true");
    EXPECT_EQ(harness.run("try { await window.stalePost({ stale: true }); return 'resolved'; } catch (error) { return error.code; }"), "BRIDGE_FAILED");
    EXPECT_TRUE(received.empty());
    EXPECT_EQ(harness.run("return (await document.querySelector('iframe').contentWindow.__quorinBridge.postMessage({})).ok;"), true);
}

TEST(BridgeMessageTransportDecode, AcceptsOnlyTextFlagAndURIParameters)
{
    using Request = BridgeMessageTransport::Request;
    const std::pair<GVariant*, std::optional<Request>> cases[] = {
        { g_variant_new("(sbs)", "{}", TRUE, ""), Request { "{}", true, std::nullopt } },
        { g_variant_new("(ssb)", "{}", "file:///x", TRUE), std::nullopt },
    };
    for (const auto& [parameters, expected] : cases)
        EXPECT_EQ(BridgeMessageTransport::decode(glib::adoptFloatingGRef(parameters).get()), expected);
}

} // namespace
} // namespace quorin::test
