#pragma once

// What the web-process extension reports about the page besides bridge requests: that a
// document loaded with the extension in place, and (when asked for) each console message,
// which goes to standard output for people who write a web UI. Main thread only.

#include "core/glib/SignalConnection.h"

#include <functional>

typedef struct _WebKitWebView WebKitWebView;
typedef struct _WebKitUserMessage WebKitUserMessage;

namespace quorin {

class PageReports {
public:
    // `extensionReported` runs for every document the extension saw load.
    PageReports(WebKitWebView* webView, bool writesConsole, std::function<void()> extensionReported);

    PageReports(const PageReports&) = delete;
    PageReports& operator=(const PageReports&) = delete;

private:
    bool receive(WebKitUserMessage* message);

    bool m_writesConsole;
    std::function<void()> m_extensionReported;
    // Declared last, so no message arrives while the rest is being destroyed.
    glib::SignalConnection m_connection;
};

} // namespace quorin
