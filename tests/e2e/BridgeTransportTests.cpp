// The bridge's path from page script through the web-process extension to the UI process and
// back, in a real web view: frame facts, reply routing, exactly-once answers, and a handler
// object that page script cannot tamper with.

#include "core/LocalFolderCases.h"
#include "e2e/LauncherPage.h"
#include "support/PageScriptRunner.h"
#include "webview/BridgeMessageReply.h"
#include "webview/BridgeMessageTransport.h"
#include "webview/WebProcessExtensions.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <cstring>
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

struct ReceivedRequest {
    json body;
    bool isMainFrame { false };
    std::optional<std::string> documentURL;
};

// A bare web view with the web-process extension, in a web context of its own and a window,
// over a temporary folder that the sandboxed engine may read.
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

    WebKitWebView* webView() const { return view.get(); }
    WebKitWebContext* webContext() const { return context.get(); }
    const std::string& fixtureDirectory() const { return folder.path(); }
    // Writes a file into the folder; its file URI.
    std::string writeFixture(const std::string& name, const std::string& content) const { return Url::fileURL(folder.write(name, content)).string(); }
    // The JSON value of a script run in the main frame, or of what an async function body awaits there.
    json value(const std::string& script) const { return json::parse(pageValue(view.get(), script), nullptr, false); }
    json run(const std::string& asyncBody) const { return json::parse(awaitedValue(view.get(), asyncBody), nullptr, false); }

    // Loads the URI; false, with a test failure, unless the load finishes without failing.
    bool load(const std::string& uri) const
    {
        std::optional<bool> failed;
        auto finished = glib::SignalConnection::connect(view.get(), "load-changed", G_CALLBACK(+[](WebKitWebView*, WebKitLoadEvent event, std::optional<bool>* outcome) {
            if (event == WEBKIT_LOAD_FINISHED && !*outcome)
                *outcome = false;
        }), &failed);
        auto failing = glib::SignalConnection::connect(view.get(), "load-failed", G_CALLBACK(+[](WebKitWebView*, WebKitLoadEvent, char*, GError*, std::optional<bool>* outcome) {
            *outcome = true;
            return FALSE;
        }), &failed);
        webkit_web_view_load_uri(view.get(), uri.c_str());
        bool loaded = runUntil([&] { return failed.has_value(); });
        EXPECT_FALSE(failed.value_or(false)) << "loading " << uri << " failed";
        return loaded && !*failed;
    }

    testing::TemporaryDirectory folder;
    glib::GRef<WebKitWebContext> context { glib::adoptGRef(webkit_web_context_new()) };
    glib::GRef<WebKitNetworkSession> session { glib::adoptGRef(webkit_network_session_new_ephemeral()) };
    glib::GRef<WebKitWebView> view;
    glib::GRef<GtkWindow> window;
};

// Awaits a post from the top document and reports how its promise settled.
std::string settledPost(const std::string& bodyExpression)
{
    return "try { return { resolved: await window.__quorinBridge.postMessage(" + bodyExpression + ") }; }"
           " catch (error) { return { rejected: String(error.code), isError: error instanceof Error }; }";
}

// Answers from a later main-loop turn, as a handler that awaits other work does.
void answerFromMainLoop(const Reply& reply, std::string replyJSON)
{
    struct Later {
        Reply reply;
        std::string replyJSON;
    };
    g_idle_add_once([](gpointer data) {
        std::unique_ptr<Later> later(static_cast<Later*>(data));
        later->reply(later->replyJSON);
    }, new Later { reply, std::move(replyJSON) });
}

// A page and its script under a Content-Security-Policy header that forbids eval.
void serveStrictPage(WebKitURISchemeRequest* request, gpointer)
{
    bool isScript = g_str_equal(webkit_uri_scheme_request_get_path(request), "/app.js");
    std::string body = isScript ? "window.posted = __quorinBridge.postMessage({ strict: true });"
                                : "<!doctype html><script src='/app.js'></script>";
    auto stream = glib::GRef<GInputStream>::adopt(g_memory_input_stream_new_from_data(g_strdup(body.c_str()), static_cast<gssize>(body.size()), g_free));
    auto response = glib::GRef<WebKitURISchemeResponse>::adopt(webkit_uri_scheme_response_new(stream.get(), static_cast<gint64>(body.size())));
    webkit_uri_scheme_response_set_content_type(response.get(), isScript ? "text/javascript" : "text/html");
    SoupMessageHeaders* headers = soup_message_headers_new(SOUP_MESSAGE_HEADERS_RESPONSE);
    soup_message_headers_append(headers, "Content-Security-Policy", "default-src 'self'; script-src 'self'");
    webkit_uri_scheme_response_set_http_headers(response.get(), headers); // takes the headers
    webkit_uri_scheme_request_finish_with_response(request, response.get());
}

class BridgeTransportTest : public ::testing::Test {
protected:
    // One window and web view for the suite: starting the engine dominates the run time.
    // Each test loads its own page and listens with its own transport.
    static void SetUpTestSuite()
    {
        s_harness = std::make_unique<ExtensionWebView>();
        webkit_web_context_register_uri_scheme(s_harness->webContext(), "quorin-test", serveStrictPage, nullptr, nullptr);
    }
    static void TearDownTestSuite() { s_harness.reset(); }

    // Decides what happens to each reply; by default answers at once.
    std::function<void(Reply&)> answer = [](Reply& reply) { reply(successReply); };

    void loadPage(const std::string& html = "<!doctype html><title>top</title>")
    {
        std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
        m_pageURI = harness.writeFixture(name + ".html", html);
        ASSERT_TRUE(harness.load(m_pageURI));
    }
    const std::string& pageURI() const { return m_pageURI; }

    static inline std::unique_ptr<ExtensionWebView> s_harness;
    ExtensionWebView& harness { *s_harness };
    std::vector<ReceivedRequest> received;
    std::vector<Reply> heldReplies;
    BridgeMessageTransport transport { harness.webView(),
        [this](std::string body, bool isMainFrame, std::optional<std::string> documentURL, Reply reply) {
            received.push_back({ json::parse(body, nullptr, false), isMainFrame, std::move(documentURL) });
            answer(reply);
        } };

private:
    std::string m_pageURI;
};

TEST_F(BridgeTransportTest, TopDocumentPostReachesHandlerWithItsFrameAndResolvesWithTheReply)
{
    loadPage();
    json result = harness.run(settledPost(R"({ schemaVersion: 1, requestId: "t_1", method: "getAppInfo", arguments: [] })"));

    ASSERT_EQ(received.size(), 1u);
    EXPECT_EQ(received[0].body, json::parse(R"({"schemaVersion":1,"requestId":"t_1","method":"getAppInfo","arguments":[]})"));
    EXPECT_TRUE(received[0].isMainFrame);
    EXPECT_EQ(received[0].documentURL, pageURI());
    EXPECT_EQ(result, json({ { "resolved", json::parse(successReply) } }));
}

TEST_F(BridgeTransportTest, SubFramesPostWithTheirOwnDocumentAndGetTheirOwnReplies)
{
    answer = [this](Reply& reply) {
        reply(json({ { "ok", true }, { "value", received.back().body["from"] } }).dump());
    };
    // Each frame posts by itself and forwards the value it got back to the top document.
    auto posting = [](const std::string& from) {
        return "__quorinBridge.postMessage({ from: '" + from + "' }).then(r => parent.postMessage(r.value, '*'))";
    };
    std::string frameURI = harness.writeFixture("frame.html", "<script>" + posting("file") + "</script>");
    loadPage("<!doctype html><script>window.replies = new Promise(done => { const values = [];"
             "  addEventListener('message', e => { values.push(e.data); if (values.length === 3) done(values.sort()); }); });</script>"
             "<iframe src='frame.html'></iframe>"
             "<iframe srcdoc=\"<script>" + posting("srcdoc") + "</script>\"></iframe>");
    ASSERT_EQ(pageValue(harness.webView(), "const blank = document.createElement('iframe'); document.body.appendChild(blank);"
                                               "blank.contentWindow.eval(\"" + posting("blank") + "\"); true"), "true");

    EXPECT_EQ(harness.run("return await window.replies;"), json({ "blank", "file", "srcdoc" }));
    json seen = json::array();
    for (const auto& request : received)
        seen.push_back({ request.body["from"], request.isMainFrame, request.documentURL.value_or("<none>") });
    std::sort(seen.begin(), seen.end());
    EXPECT_EQ(seen, json({ { "blank", false, "about:blank" }, { "file", false, frameURI }, { "srcdoc", false, "about:srcdoc" } }));
}

TEST_F(BridgeTransportTest, EveryRequestSettlesExactlyOnceWhateverTheHandlerDoesWithTheReply)
{
    const json failed = json::parse(BridgeMessageReply::failedReplyJSON());
    struct Case {
        const char* name;
        std::function<void(Reply&)> answer;
        json expected;
    };
    const Case cases[] = {
        { "dropped", [](Reply&) {}, { { "resolved", failed } } },
        { "answered twice", [](Reply& reply) { reply(R"({"first":1})"); reply(R"({"second":2})"); }, { { "resolved", { { "first", 1 } } } } },
        { "answered later", [](Reply& reply) { answerFromMainLoop(reply, R"({"later":true})"); }, { { "resolved", { { "later", true } } } } },
        { "not UTF-8", [](Reply& reply) { reply("{\"bad\":\"\xff\"}"); }, { { "resolved", failed } } },
        { "not JSON", [](Reply& reply) { reply("{ok: true"); }, { { "rejected", "BRIDGE_FAILED" }, { "isError", true } } },
    };
    loadPage();
    for (const auto& testCase : cases) {
        SCOPED_TRACE(testCase.name);
        answer = testCase.answer;
        EXPECT_EQ(harness.run(settledPost("{}")), testCase.expected);
    }
}

TEST_F(BridgeTransportTest, RepliesAnsweredOutOfOrderReachTheirOwnRequests)
{
    answer = [this](Reply& reply) { heldReplies.push_back(reply); };
    loadPage();
    ASSERT_EQ(pageValue(harness.webView(), "window.both = Promise.all([1, 2, 3].map(n => __quorinBridge.postMessage({ n }))); true"), "true");
    ASSERT_TRUE(runUntil([&] { return heldReplies.size() == 3; }));
    for (int index : { 2, 0, 1 })
        heldReplies[index](json({ { "answer", received[index].body["n"] } }).dump());

    EXPECT_EQ(harness.run("return await window.both;"), json::parse(R"([{"answer":1},{"answer":2},{"answer":3}])"));
}

TEST_F(BridgeTransportTest, BodiesThatCannotBeSerialisedRejectWithoutReachingTheHandler)
{
    // One that JSON.stringify throws on, and one it turns into no text.
    const char* bodies[] = { "(() => { const cyclic = {}; cyclic.self = cyclic; return cyclic; })()", "() => 1" };
    loadPage();
    for (const char* body : bodies) {
        SCOPED_TRACE(body);
        EXPECT_EQ(harness.run(settledPost(body)), json({ { "rejected", "BRIDGE_REQUEST_INVALID" }, { "isError", true } }));
    }
    EXPECT_TRUE(received.empty());
}

TEST_F(BridgeTransportTest, PageScriptCannotReplaceDeleteOrAlterTheHandlerInAnyFrame)
{
    const char* attacks[] = {
        "w.__quorinBridge = { postMessage() { return 'fake'; } };",
        "delete w.__quorinBridge;",
        "w.Object.defineProperty(w, '__quorinBridge', { value: {} });",
        "w.eval('var __quorinBridge = 5;');",
        "w.__quorinBridge.postMessage = () => 'fake';",
        "w.Object.defineProperty(w.__quorinBridge, 'postMessage', { value: () => 'fake' });",
        "w.__quorinBridge.postMessage.call = () => 'fake';",
    };
    // Frames: the top document and a same-origin about:blank child it can reach.
    const char* windows[] = { "window", "document.querySelector('iframe').contentWindow" };
    loadPage("<!doctype html><iframe></iframe>");
    for (const char* target : windows) {
        SCOPED_TRACE(target);
        std::string setup = std::string("const w = ") + target + "; const original = w.__quorinBridge; const post = original.postMessage;";
        for (const char* attack : attacks) {
            SCOPED_TRACE(attack);
            json outcome = harness.run(setup + "try { (function () { 'use strict'; " + attack + " })(); } catch (_) {}"
                "try { " + attack + " } catch (_) {}"
                "const d = Object.getOwnPropertyDescriptor(w, '__quorinBridge');"
                "return { same: w.__quorinBridge === original && original.postMessage === post,"
                "  frozen: Object.isFrozen(original) && Object.isFrozen(post), writable: d.writable, configurable: d.configurable,"
                "  reply: await w.__quorinBridge.postMessage({ probe: true }) };");
            EXPECT_EQ(outcome, json({ { "same", true }, { "frozen", true }, { "writable", false }, { "configurable", false },
                                   { "reply", json::parse(successReply) } }));
        }
    }
    EXPECT_EQ(received.size(), std::size(attacks) * std::size(windows));
}

TEST_F(BridgeTransportTest, HandlerIsInstalledWhenThePagePolicyForbidsEval)
{
    ASSERT_TRUE(harness.load("quorin-test://app/index.html"));

    EXPECT_EQ(harness.run("return await window.posted;"), json::parse(successReply));
    EXPECT_EQ(harness.run("try { eval('1'); return 'allowed'; } catch (error) { return error.name; }"), "EvalError");
    ASSERT_EQ(received.size(), 1u);
    EXPECT_EQ(received[0].documentURL, "quorin-test://app/index.html");
}

TEST_F(BridgeTransportTest, PostFunctionKeptFromAReplacedDocumentCannotSpeakForItsSuccessor)
{
    loadPage("<!doctype html><iframe srcdoc='<p>first'></iframe>");
    ASSERT_EQ(pageValue(harness.webView(), "const frame = document.querySelector('iframe');"
                                               "window.stalePost = frame.contentWindow.__quorinBridge.postMessage;"
                                               "window.replaced = new Promise(done => frame.onload = done);"
                                               "frame.srcdoc = '<p>second'; true"), "true");
    ASSERT_EQ(awaitedValue(harness.webView(), "await window.replaced; return true;"), "true");

    EXPECT_EQ(harness.run("try { await window.stalePost({ stale: true }); return 'resolved'; }"
                          " catch (error) { return error.code; }"),
        "BRIDGE_FAILED");
    EXPECT_TRUE(received.empty());
    EXPECT_EQ(harness.run("return (await document.querySelector('iframe').contentWindow.__quorinBridge.postMessage({})).ok;"), true);
}

TEST_F(BridgeTransportTest, ReplyHeldAcrossAWebProcessCrashIsHarmlessAndTheNextDocumentWorks)
{
    answer = [this](Reply& reply) { heldReplies.push_back(reply); };
    loadPage();
    ASSERT_EQ(pageValue(harness.webView(), "__quorinBridge.postMessage({}); true"), "true");
    ASSERT_TRUE(runUntil([&] { return heldReplies.size() == 1; }));
    webkit_web_view_terminate_web_process(harness.webView());
    heldReplies[0](successReply);
    heldReplies.clear();

    answer = [](Reply& reply) { reply(successReply); };
    ASSERT_TRUE(harness.load(pageURI()));
    EXPECT_EQ(harness.run(settledPost("{ again: true }")), json({ { "resolved", json::parse(successReply) } }));
}

TEST_F(BridgeTransportTest, MessagesWithOtherNamesAreLeftToOtherHandlers)
{
    // Only names are checked here: answering a message that did not come from a page is an
    // engine error, so wrongly typed parameters are covered through decode below.
    const char* names[] = { "quorin.bridge.request.extra", "quorin.bridge" };
    for (const char* name : names) {
        SCOPED_TRACE(name);
        auto message = glib::GRef<WebKitUserMessage>::adopt(WEBKIT_USER_MESSAGE(
            g_object_ref_sink(webkit_user_message_new(name, g_variant_new("(sbs)", "{}", TRUE, "file:///x")))));
        gboolean handled = TRUE;
        g_signal_emit_by_name(harness.webView(), "user-message-received", message.get(), &handled);
        EXPECT_FALSE(handled);
    }
    EXPECT_TRUE(received.empty());
}

TEST(BridgeTransportFileAccess, PagesLoadOnlyTheFilesTheFolderRuleLetsIn)
{
    // A web context of its own, so that its web process starts with the folder restriction.
    ExtensionWebView harness;
    const char* marker = "loaded.push(Number(document.currentScript.dataset.row));";
    std::string insideURI = harness.writeFixture("WebUI/inside.js", marker);
    harness.writeFixture("outside.js", marker);
    harness.writeFixture("WebUI-other/sibling.js", marker);
    std::string root = insideURI.substr(std::strlen("file://"), insideURI.size() - std::strlen("file:///WebUI/inside.js"));
    webkit_web_context_set_web_process_extensions_initialization_user_data(harness.webContext(),
        g_variant_new("(sb)", (harness.fixtureDirectory() + "/WebUI").c_str(), FALSE));

    std::string page = "<!doctype html><script>window.loaded = [];</script>";
    json expected = json::array();
    for (std::size_t row = 0; row < std::size(localFolderCases); ++row) {
        const auto& testCase = localFolderCases[row];
        if (testCase.seen != LocalFolderCase::Seen::InPage)
            continue;
        page += "<script data-row='" + std::to_string(row) + "' src='" + withRoot(testCase.url, root) + "'></script>";
        if (testCase.inside)
            expected.push_back(row);
    }
    ASSERT_TRUE(harness.load(harness.writeFixture("WebUI/index.html", page)));
    EXPECT_EQ(harness.value("window.loaded"), expected);
}

TEST(BridgeMessageTransportDecode, AcceptsOnlyTextFlagAndURIParameters)
{
    using Request = BridgeMessageTransport::Request;
    struct Case {
        const char* name;
        GVariant* parameters;
        std::optional<Request> expected;
    };
    const Case cases[] = {
        { "request", g_variant_new("(sbs)", "{\"a\":1}", TRUE, "file:///ui/index.html"), Request { "{\"a\":1}", true, "file:///ui/index.html" } },
        { "sub-frame", g_variant_new("(sbs)", "[]", FALSE, "about:srcdoc"), Request { "[]", false, "about:srcdoc" } },
        { "no URI", g_variant_new("(sbs)", "{}", TRUE, ""), Request { "{}", true, std::nullopt } },
        { "no parameters", nullptr, std::nullopt },
        { "swapped", g_variant_new("(ssb)", "{}", "file:///x", TRUE), std::nullopt },
    };
    for (const auto& testCase : cases) {
        SCOPED_TRACE(testCase.name);
        auto parameters = glib::adoptFloatingGRef(testCase.parameters);
        EXPECT_EQ(BridgeMessageTransport::decode(parameters.get()), testCase.expected);
    }
}

} // namespace
} // namespace quorin::test
