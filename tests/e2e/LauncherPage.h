#pragma once

// The end-to-end tests' helpers over PageScriptRunner: waits and page scripts that add a test
// failure when they time out or fail, a window for a web view, and the launcher's web view
// over a web UI folder the test writes.

#include "core/glib/GRef.h"
#include "support/TemporaryDirectory.h"
#include "webview/LauncherWebViewController.h"

#include <gtk/gtk.h>
#include <webkit/webkit.h>

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace quorin::test {

// Generous: a loaded machine or a sanitizer build can take seconds to start a web process.
inline constexpr std::chrono::milliseconds timeout { 20'000 };

// Runs the main loop until the predicate holds; false, with a test failure, on a timeout.
bool runUntil(const std::function<bool()>& predicate);
// The JSON text of a script's value in the main frame, or of what an async function body
// awaits there; "<error: ...>" with a test failure when it throws or rejects.
std::string pageValue(WebKitWebView* webView, const std::string& script);
std::string awaitedValue(WebKitWebView* webView, const std::string& asyncBody);
// A window showing the widget; destroy it with gtk_window_destroy.
glib::GRef<GtkWindow> showInWindow(GtkWidget* child);

// The launcher's web view with the real bootstrap script, bridge host and bridge service,
// shown in a window. Folders are relative to a temporary one.
class LauncherPage {
public:
    struct Setup {
        std::string indexHTML;
        std::string indexPath { "WebUI/renderer/index.html" };
        // The web UI folder of the controller and its navigation policy; the folder the bridge host accepts documents from.
        std::string bundleRoot { "WebUI" }, bridgeRoot { "WebUI" };
        // Where the web-process extension is looked for; relative to the temporary folder.
        std::optional<std::string> extensionsFolder {};
        bool writesPageConsole { false };
        // The engine reports no console messages of an ephemeral session.
        bool persistentWebsiteData { false };
        std::optional<WebViewSchemeHandler> gameSchemeHandler {};
    };

    explicit LauncherPage(const Setup& setup);
    ~LauncherPage();

    // Loads the index page; false, with a test failure, unless it becomes ready.
    bool load();
    WebKitWebView* webView() const { return controller->webView(); }
    std::string value(const std::string& script) const { return pageValue(webView(), script); }
    std::string awaited(const std::string& asyncBody) const { return awaitedValue(webView(), asyncBody); }

    testing::TemporaryDirectory folder;
    std::vector<std::string> externallyOpened;
    std::shared_ptr<LauncherWebViewController> controller;
    glib::GRef<GtkWindow> window;
};

} // namespace quorin::test
