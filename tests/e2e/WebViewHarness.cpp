#include "e2e/WebViewHarness.h"

#include "e2e/PageDriver.h"

#include "webview/WebProcessExtensions.h"

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

} // namespace

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
    return test::runUntil(predicate, timeout);
}

void WebViewHarness::runFor(std::chrono::milliseconds duration)
{
    test::runFor(duration);
}

Result<std::string, std::string> WebViewHarness::evaluate(const std::string& script)
{
    return PageDriver(m_webView.get()).evaluate(script);
}

Result<std::string, std::string> WebViewHarness::callAsync(const std::string& body)
{
    return PageDriver(m_webView.get()).callAsync(body);
}

} // namespace quorin::test
