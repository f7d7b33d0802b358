#include "WindowCommandService.h"

#include "DefaultHandler.h"
#include "ZoomLevel.h"
#include "core/PlatformValues.h"
#include "core/glib/GError.h"
#include "core/glib/MainLoop.h"

#include <filesystem>
#include <functional>
#include <gtk/gtk.h>
#include <sys/stat.h>
#include <webkit/webkit.h>

namespace quorin {

using glib::GRef;

void WindowCommandService::attach(WebKitWebView* webView)
{
    m_webView = std::make_unique<glib::GWeak<WebKitWebView>>(webView);
}

GRef<WebKitWebView> WindowCommandService::webView() const
{
    return m_webView ? m_webView->get() : GRef<WebKitWebView>();
}

GtkWindow* WindowCommandService::window() const
{
    auto view = webView();
    if (!view)
        return nullptr;
    auto* root = gtk_widget_get_root(GTK_WIDGET(view.get()));
    return GTK_IS_WINDOW(root) ? GTK_WINDOW(root) : nullptr;
}

bool WindowCommandService::openExternal(const Url& url)
{
    return openWithDefaultHandler(url);
}

bool WindowCommandService::copyText(const std::string& text)
{
    GdkDisplay* display = gdk_display_get_default();
    if (!display)
        return false;
    gdk_clipboard_set_text(gdk_display_get_clipboard(display), text.c_str());
    return true;
}

namespace {

// Where the file viewer cannot select the item, the folder that holds it is the next best.
void openContainingFolder(const Url& fileURL)
{
    std::filesystem::path item(fileURL.filePath());
    if (!item.has_filename()) // "/a/b/" names the folder b
        item = item.parent_path();
    openWithDefaultHandler(Url::fileURL(item.parent_path().string()));
}

} // namespace

bool WindowCommandService::reveal(const Url& fileURL)
{
    struct stat status {};
    if (!fileURL.isFileURL() || stat(fileURL.filePath().c_str(), &status) != 0)
        return false;
    // The page has its answer now; the bus and the file viewer answer in later main-loop turns.
    auto call = m_pending.call([this, fileURL](GObject*, GAsyncResult* result) {
        glib::GErrorOut error;
        auto bus = glib::adoptGRef(g_bus_get_finish(result, error.out()));
        if (!bus)
            return openContainingFolder(fileURL);
        showInFileViewer(bus.get(), fileURL);
    });
    g_bus_get(G_BUS_TYPE_SESSION, call.cancellable, call.callback, call.data);
    return true;
}

// Asks the desktop's file viewer to show the item selected; without one, or when it refuses,
// opens the containing folder instead.
void WindowCommandService::showInFileViewer(GDBusConnection* bus, const Url& fileURL)
{
    std::string uri = fileURL.string();
    const char* uris[] = { uri.c_str(), nullptr };
    auto call = m_pending.call([fileURL](GObject* source, GAsyncResult* result) {
        glib::GErrorOut error;
        auto reply = glib::adoptGRef(g_dbus_connection_call_finish(G_DBUS_CONNECTION(source), result, error.out()));
        if (!reply)
            openContainingFolder(fileURL);
    });
    g_dbus_connection_call(bus, "org.freedesktop.FileManager1", "/org/freedesktop/FileManager1", "org.freedesktop.FileManager1",
        "ShowItems", g_variant_new("(^ass)", uris, ""), nullptr, G_DBUS_CALL_FLAGS_NONE, -1, call.cancellable, call.callback, call.data);
}

bool WindowCommandService::actOnWindow(void (*action)(GtkWindow*))
{
    auto* target = window();
    if (!target)
        return false;
    action(target);
    return true;
}

bool WindowCommandService::minimizeWindow()
{
    return actOnWindow(gtk_window_minimize);
}

bool WindowCommandService::toggleMaximizeWindow()
{
    return actOnWindow([](GtkWindow* target) {
        if (gtk_window_is_maximized(target))
            gtk_window_unmaximize(target);
        else
            gtk_window_maximize(target);
    });
}

bool WindowCommandService::closeWindow()
{
    // The same path as the close button, so close observers hear of it.
    return actOnWindow(gtk_window_close);
}

bool WindowCommandService::isWindowMaximized()
{
    auto* target = window();
    return target && gtk_window_is_maximized(target);
}

double WindowCommandService::zoomFactor()
{
    auto view = webView();
    return view ? ZoomLevel::normalised(webkit_web_view_get_zoom_level(view.get())) : ZoomLevel::reset;
}

double WindowCommandService::zoomIn() { return setZoom(ZoomLevel::zoomedIn(zoomFactor())); }
double WindowCommandService::zoomOut() { return setZoom(ZoomLevel::zoomedOut(zoomFactor())); }
double WindowCommandService::resetZoom() { return setZoom(ZoomLevel::reset); }

// The arguments are read when the script runs. Failures are of no interest: the page may
// not be there.
void WindowCommandService::runScriptLater(std::string script, std::function<PageScriptArguments(WebKitWebView*)> arguments)
{
    glib::runOnMainLoop(m_pending.guarded([this, script = std::move(script), arguments = std::move(arguments)] {
        if (auto view = webView())
            callPageScript(view.get(), script, arguments(view.get()), m_pending);
    }));
}

namespace {

std::string pageZoomScript()
{
    std::string script = "if (document.documentElement.dataset.runtimeHost === '";
    script += PlatformValues::nativeHostKind;
    script += "') {\n  document.documentElement.style.setProperty('";
    script += PlatformValues::pageZoomProperty;
    script += "', String(zoom));\n}";
    return script;
}

} // namespace

double WindowCommandService::setZoom(double value)
{
    double zoom = ZoomLevel::normalised(value);
    if (auto view = webView()) {
        webkit_web_view_set_zoom_level(view.get(), zoom);
        runScriptLater(pageZoomScript(), [](WebKitWebView* current) {
            return PageScriptArguments { { "zoom", BridgeValue::number(webkit_web_view_get_zoom_level(current)) } };
        });
    }
    return zoom;
}

bool WindowCommandService::setAudioMuted(bool muted)
{
    auto view = webView();
    if (!view)
        return false;
    m_audioMuted = muted;
    runScriptLater("document.querySelectorAll('audio, video').forEach((element) => { element.muted = muted; });",
        [muted](WebKitWebView*) { return PageScriptArguments { { "muted", BridgeValue::boolean(muted) } }; });
    return true;
}

} // namespace quorin
