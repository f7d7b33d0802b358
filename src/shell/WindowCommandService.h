#pragma once

// Window, clipboard, file-viewer, zoom and audio commands for the page. Holds the web view
// weakly: once it is gone every command quietly answers false (or zoom 1.0). Main thread only.

#include "core/glib/AsyncScope.h"
#include "core/glib/GRef.h"
#include "services/system/SystemCommandHandling.h"
#include "webview/PageScriptCall.h"

#include <functional>
#include <memory>
#include <string>

typedef struct _WebKitWebView WebKitWebView;
typedef struct _GtkWindow GtkWindow;
typedef struct _GDBusConnection GDBusConnection;

namespace quorin {

class WindowCommandService final : public SystemCommandHandling {
public:
    void attach(WebKitWebView* webView);

    bool openExternal(const Url& url) override;
    bool copyText(const std::string& text) override;
    bool reveal(const Url& fileURL) override;
    bool minimizeWindow() override;
    bool toggleMaximizeWindow() override;
    bool closeWindow() override;
    bool isWindowMaximized() override;
    double zoomFactor() override;
    double zoomIn() override;
    double zoomOut() override;
    double resetZoom() override;
    bool setAudioMuted(bool muted) override;
    bool isAudioMuted() override { return m_audioMuted; }

private:
    void showInFileViewer(GDBusConnection* bus, const Url& fileURL);
    double setZoom(double value);
    // Runs the action on the web view's window; false when there is none.
    bool actOnWindow(void (*action)(GtkWindow*));
    glib::GRef<WebKitWebView> webView() const;
    GtkWindow* window() const;
    // Runs a page script in a later main-loop turn, if this service and the web view still exist then.
    void runScriptLater(std::string script, std::function<PageScriptArguments(WebKitWebView*)> arguments);

    std::unique_ptr<glib::GWeak<WebKitWebView>> m_webView;
    bool m_audioMuted { false };
    // Work this service left on the main loop or with the engine; ends with the service.
    glib::AsyncScope m_pending;
};

} // namespace quorin
