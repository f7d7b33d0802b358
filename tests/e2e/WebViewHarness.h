#pragma once

// A real window with a real web view for end-to-end tests: its own web context (with the
// web-process extension), an ephemeral network session, fixtures written to a folder the
// sandboxed web engine can read, and helpers that run the main loop until something happens.

#include "core/Result.h"
#include "e2e/PageDriver.h"
#include "core/glib/GRef.h"

#include <gtk/gtk.h>
#include <webkit/webkit.h>

#include <chrono>
#include <functional>
#include <string>

namespace quorin::test {

class WebViewHarness {
public:
    WebViewHarness();
    ~WebViewHarness();
    WebViewHarness(const WebViewHarness&) = delete;
    WebViewHarness& operator=(const WebViewHarness&) = delete;

    WebKitWebView* webView() const { return m_webView.get(); }
    WebKitWebContext* webContext() const { return m_context.get(); }
    WebKitUserContentManager* userContentManager() const;

    // Writes a fixture file (name relative to this harness's folder) and returns its file URI.
    std::string writeFixture(const std::string& name, const std::string& content) const;
    const std::string& fixtureDirectory() const { return m_fixtureDirectory; }

    // Loads the URI and waits until the load finishes; false (and a test failure) otherwise.
    bool load(const std::string& uri);
    // Runs the main loop until the predicate holds; on timeout adds a test failure.
    bool runUntil(const std::function<bool()>& predicate, std::chrono::milliseconds timeout = defaultTimeout);
    // Runs the main loop for a while, for checks that something does NOT happen.
    void runFor(std::chrono::milliseconds duration);

    // Evaluates a script in the main frame's page world: its value as JSON text, or the
    // exception's message.
    Result<std::string, std::string> evaluate(const std::string& script);
    // Runs the body of an async function (it may await) in the main frame: the awaited value
    // as JSON text, or the rejection's message.
    Result<std::string, std::string> callAsync(const std::string& body);

private:
    std::string m_fixtureDirectory;
    glib::GRef<WebKitNetworkSession> m_networkSession;
    glib::GRef<WebKitWebContext> m_context;
    glib::GRef<WebKitWebView> m_webView;
    glib::GRef<GtkWindow> m_window;
};

} // namespace quorin::test
