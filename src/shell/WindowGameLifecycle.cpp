#include "WindowGameLifecycle.h"

#include <gtk/gtk.h>
#include <webkit/webkit.h>

namespace quorin {

WindowGameLifecycle::WindowGameLifecycle(WebKitWebView* webView, std::function<void()> onClose)
    : m_webView(webView)
    , m_onClose(std::move(onClose))
    , m_observer(std::make_unique<WindowCloseObservation>([this](GtkWindow* window) { windowWillClose(window); }))
{
}

void WindowGameLifecycle::windowWillClose(GtkWindow* window)
{
    auto view = m_webView.get();
    if (!view)
        return;
    auto* root = gtk_widget_get_root(GTK_WIDGET(view.get()));
    if (root && GTK_WINDOW(root) == window)
        closeGame();
}

void WindowGameLifecycle::closeGame()
{
    if (m_onClose)
        m_onClose();
    if (auto view = m_webView.get()) {
        static constexpr char script[] = "window.PlayGame?.clearSession?.(); true;";
        webkit_web_view_evaluate_javascript(view.get(), script, -1, nullptr, nullptr, nullptr, nullptr, nullptr);
    }
}

} // namespace quorin
