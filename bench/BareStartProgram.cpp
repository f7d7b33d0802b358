// The floor of the start-up benchmark: a bare WebKitGTK program that shows one page in a
// window and prints "ready" once the page is on screen, judged exactly as the launcher
// judges its own start. No application object, no bridge, no extension, no checks.
// With --launcher-painting it paints pages the way the launcher chooses for this machine,
// so the launcher's own cost can be told apart from that choice.
//   quorin_bench_bare_start [--launcher-painting] PAGE-URL

#include "webview/PageFrameWatch.h"
#include "webview/PagePainting.h"

#include <cstdio>
#include <gtk/gtk.h>
#include <string_view>
#include <webkit/webkit.h>

int main(int argc, char** argv)
{
    bool launcherPainting = argc == 3 && std::string_view(argv[1]) == "--launcher-painting";
    if (argc != 2 && !launcherPainting) {
        std::fprintf(stderr, "usage: %s [--launcher-painting] PAGE-URL\n", argv[0]);
        return 64;
    }
    if (launcherPainting)
        quorin::PagePainting::chooseForThisMachine();
    const char* pageURL = argv[argc - 1];
    gtk_init();
    GtkWidget* window = gtk_window_new();
    gtk_window_set_default_size(GTK_WINDOW(window), 1440, 800);
    GtkWidget* webView = webkit_web_view_new();
    gtk_window_set_child(GTK_WINDOW(window), webView);

    g_signal_connect(webView, "load-changed", G_CALLBACK(+[](WebKitWebView* view, WebKitLoadEvent event, gpointer) {
        if (event != WEBKIT_LOAD_FINISHED)
            return;
        quorin::whenPageIsDrawn(view, [] {
            std::puts("ready");
            std::fflush(stdout);
        });
    }), nullptr);

    GMainLoop* loop = g_main_loop_new(nullptr, FALSE);
    g_signal_connect_swapped(window, "destroy", G_CALLBACK(g_main_loop_quit), loop);
    webkit_web_view_load_uri(WEBKIT_WEB_VIEW(webView), pageURL);
    gtk_window_present(GTK_WINDOW(window));
    g_main_loop_run(loop);
    g_main_loop_unref(loop);
    return 0;
}
