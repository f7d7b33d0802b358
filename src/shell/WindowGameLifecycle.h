#pragma once

// Ends the running game session when the main window closes. Watches every window's close
// and acts only for the window that holds the web view. Main thread only.

#include "WindowCloseObservation.h"
#include "core/glib/GRef.h"

#include <functional>
#include <memory>

typedef struct _WebKitWebView WebKitWebView;

namespace quorin {

class WindowGameLifecycle {
public:
    WindowGameLifecycle(WebKitWebView* webView, std::function<void()> onClose);

    // Ends the game: the close action, then the page's game session object is cleared.
    void closeGame();

private:
    void windowWillClose(GtkWindow* window);

    glib::GWeak<WebKitWebView> m_webView;
    std::function<void()> m_onClose;
    std::unique_ptr<WindowCloseObservation> m_observer;
};

} // namespace quorin
