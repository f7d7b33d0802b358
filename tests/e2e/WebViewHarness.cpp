#include "e2e/WebViewHarness.h"

#include "webui/WebProcessExtensions.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#ifndef QUORIN_WEB_EXTENSION_DIR
#error "QUORIN_WEB_EXTENSION_DIR must name the folder of the built web-process extension"
#endif
#ifndef QUORIN_E2E_FIXTURE_ROOT
#error "QUORIN_E2E_FIXTURE_ROOT must name a folder for test fixtures"
#endif

namespace quorin::test {

using glib::GRef;

namespace {

// Under the build tree, mounted read-only into the web-process sandbox as the launcher does
// with its web UI folder, so pages behave as they will in the product.
std::string makeFixtureDirectory()
{
    std::filesystem::create_directories(QUORIN_E2E_FIXTURE_ROOT);
    std::string pattern = std::string(QUORIN_E2E_FIXTURE_ROOT) + "/run-XXXXXX";
    if (!g_mkdtemp(pattern.data()))
        ADD_FAILURE() << "cannot create a fixture folder under " << QUORIN_E2E_FIXTURE_ROOT;
    return pattern;
}

std::string jsonOf(JSCValue* value)
{
    if (jsc_value_is_undefined(value))
        return "undefined";
    return glib::takeString(jsc_value_to_json(value, 0));
}

} // namespace

struct WebViewHarness::ScriptRun {
    using Finish = JSCValue* (*)(WebKitWebView*, GAsyncResult*, GError**);
    explicit ScriptRun(Finish finishFunction)
        : finish(finishFunction)
    {
    }
    Finish finish;
    GRef<GCancellable> cancellable { GRef<GCancellable>::adopt(g_cancellable_new()) };
    bool done { false };
    GRef<JSCValue> value;
    glib::GErrorPtr error;

    static void onFinished(GObject* source, GAsyncResult* result, gpointer data)
    {
        auto* run = static_cast<ScriptRun*>(data);
        GError* error = nullptr;
        run->value = GRef<JSCValue>::adopt(run->finish(WEBKIT_WEB_VIEW(source), result, &error));
        run->error.reset(error);
        run->done = true;
    }
};

WebViewHarness::WebViewHarness()
    : m_fixtureDirectory(makeFixtureDirectory())
    , m_networkSession(GRef<WebKitNetworkSession>::adopt(webkit_network_session_new_ephemeral()))
    , m_context(GRef<WebKitWebContext>::adopt(webkit_web_context_new()))
{
    useWebProcessExtensions(m_context.get(), QUORIN_WEB_EXTENSION_DIR);
    webkit_web_context_add_path_to_sandbox(m_context.get(), m_fixtureDirectory.c_str(), TRUE);
    m_webView = GRef<WebKitWebView>::adopt(WEBKIT_WEB_VIEW(g_object_ref_sink(g_object_new(WEBKIT_TYPE_WEB_VIEW,
        "web-context", m_context.get(), "network-session", m_networkSession.get(), nullptr))));
    m_window = GRef<GtkWindow>::retain(GTK_WINDOW(gtk_window_new()));
    gtk_window_set_default_size(m_window.get(), 800, 600);
    gtk_window_set_child(m_window.get(), GTK_WIDGET(m_webView.get()));
    gtk_window_present(m_window.get());
}

WebViewHarness::~WebViewHarness()
{
    gtk_window_destroy(m_window.get());
    m_window.reset();
    m_webView.reset();
    // Let the engine see the view go before the next test starts a new one.
    runFor(std::chrono::milliseconds(10));
    std::error_code ignored;
    std::filesystem::remove_all(m_fixtureDirectory, ignored);
}

WebKitUserContentManager* WebViewHarness::userContentManager() const
{
    return webkit_web_view_get_user_content_manager(m_webView.get());
}

std::string WebViewHarness::writeFixture(const std::string& name, const std::string& content) const
{
    std::filesystem::path path = std::filesystem::path(m_fixtureDirectory) / name;
    std::filesystem::create_directories(path.parent_path());
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file << content;
    file.close();
    EXPECT_TRUE(file.good()) << "cannot write fixture " << path;
    return glib::takeString(g_filename_to_uri(path.c_str(), nullptr, nullptr));
}

bool WebViewHarness::load(const std::string& uri)
{
    bool finished = false;
    bool failed = false;
    glib::SignalConnection changed(m_webView.get(), g_signal_connect_swapped(m_webView.get(), "load-changed",
        G_CALLBACK(+[](bool* done, WebKitLoadEvent event) { *done = *done || event == WEBKIT_LOAD_FINISHED; }), &finished));
    glib::SignalConnection failedConnection(m_webView.get(), g_signal_connect_swapped(m_webView.get(), "load-failed",
        G_CALLBACK(+[](bool* flag) { *flag = true; return FALSE; }), &failed));
    webkit_web_view_load_uri(m_webView.get(), uri.c_str());
    bool loaded = runUntil([&] { return finished; });
    EXPECT_FALSE(failed) << "loading " << uri << " failed";
    return loaded && !failed;
}

bool WebViewHarness::runUntil(const std::function<bool()>& predicate, std::chrono::milliseconds timeout)
{
    bool timedOut = false;
    guint timer = g_timeout_add(static_cast<guint>(timeout.count()),
        +[](gpointer flag) { *static_cast<bool*>(flag) = true; return G_SOURCE_REMOVE; }, &timedOut);
    while (!predicate() && !timedOut)
        g_main_context_iteration(nullptr, TRUE);
    if (!timedOut)
        g_source_remove(timer);
    bool held = predicate();
    EXPECT_TRUE(held) << "timed out after " << timeout.count() << " ms";
    return held;
}

void WebViewHarness::runFor(std::chrono::milliseconds duration)
{
    bool elapsed = false;
    g_timeout_add(static_cast<guint>(duration.count()),
        +[](gpointer flag) { *static_cast<bool*>(flag) = true; return G_SOURCE_REMOVE; }, &elapsed);
    while (!elapsed)
        g_main_context_iteration(nullptr, TRUE);
}

Result<std::string, std::string> WebViewHarness::evaluate(const std::string& script)
{
    ScriptRun run(webkit_web_view_evaluate_javascript_finish);
    webkit_web_view_evaluate_javascript(m_webView.get(), script.c_str(), static_cast<gssize>(script.size()),
        nullptr, nullptr, run.cancellable.get(), ScriptRun::onFinished, &run);
    return waitFor(run);
}

Result<std::string, std::string> WebViewHarness::callAsync(const std::string& body)
{
    ScriptRun run(webkit_web_view_call_async_javascript_function_finish);
    webkit_web_view_call_async_javascript_function(m_webView.get(), body.c_str(), static_cast<gssize>(body.size()),
        nullptr, nullptr, nullptr, run.cancellable.get(), ScriptRun::onFinished, &run);
    return waitFor(run);
}

Result<std::string, std::string> WebViewHarness::waitFor(ScriptRun& run)
{
    // The callback writes into `run`: after a timeout, cancel and still wait for it.
    if (!runUntil([&] { return run.done; })) {
        g_cancellable_cancel(run.cancellable.get());
        while (!run.done)
            g_main_context_iteration(nullptr, TRUE);
    }
    if (run.error)
        return fail(std::string(run.error->message));
    return jsonOf(run.value.get());
}

} // namespace quorin::test
