#include "PageFrameWatch.h"

#include "core/glib/GError.h"
#include "core/glib/GRef.h"

#include <gtk/gtk.h>
#include <memory>
#include <webkit/webkit.h>

namespace quorin {

namespace {

// A world of its own, so nothing the page does to its globals can hold the answer back.
constexpr char watchWorld[] = "quorin-page-frame";
// Three animation frames: the engine starts a frame only after the window has shown the one
// before, so the third callback runs once the page's first frame is on screen.
constexpr char pageFramesScript[] = "await new Promise(resolve => requestAnimationFrame(() => requestAnimationFrame(() => requestAnimationFrame(resolve))));";

struct Watch {
    glib::GWeak<WebKitWebView> webView;
    std::function<void()> drawn;
    gulong afterPaintHandler { 0 };
};

// The handler owns the watch: disconnecting it, or the clock going away, frees it.
void afterPaint(GdkFrameClock* clock, gpointer data)
{
    auto* watch = static_cast<Watch*>(data);
    auto drawn = std::move(watch->drawn);
    bool viewAlive = static_cast<bool>(watch->webView.get());
    g_signal_handler_disconnect(clock, watch->afterPaintHandler);
    if (viewAlive)
        drawn();
}

void pageProducedFrame(GObject* source, GAsyncResult* result, gpointer data)
{
    std::unique_ptr<Watch> watch(static_cast<Watch*>(data));
    // A page that cannot run the script (a failed or replaced load) still gets painted, so
    // an error here changes nothing.
    glib::GErrorOut error;
    auto value = glib::adoptGRef(webkit_web_view_call_async_javascript_function_finish(WEBKIT_WEB_VIEW(source), result, error.out()));
    auto webView = watch->webView.get();
    if (!webView)
        return;
    GdkFrameClock* clock = gtk_widget_get_frame_clock(GTK_WIDGET(webView.get()));
    if (!clock) {
        watch->drawn();
        return;
    }
    auto* pending = watch.release();
    pending->afterPaintHandler = g_signal_connect_data(clock, "after-paint", G_CALLBACK(afterPaint), pending,
        [](gpointer owned, GClosure*) { delete static_cast<Watch*>(owned); }, GConnectFlags(0));
    gtk_widget_queue_draw(GTK_WIDGET(webView.get()));
}

} // namespace

void whenPageIsDrawn(WebKitWebView* webView, std::function<void()> drawn)
{
    auto* watch = new Watch { glib::GWeak<WebKitWebView>(webView), std::move(drawn) };
    webkit_web_view_call_async_javascript_function(webView, pageFramesScript, -1, nullptr, watchWorld, nullptr, nullptr, pageProducedFrame, watch);
}

} // namespace quorin
