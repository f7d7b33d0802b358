#pragma once

// The baseline: a plain WebKitGTK view with its own web context and an ephemeral network
// session, no extension and no user script, and one script-message handler "bare" that
// answers every message at once with a small fixed object. Main thread only.

#include "BenchSubject.h"

#include "core/glib/GRef.h"
#include "core/glib/SignalConnection.h"

#include <webkit/webkit.h>

#include <string>
#include <vector>

namespace quorin::bench {

class BareBenchSubject final : public BenchSubject {
public:
    explicit BareBenchSubject(std::string pageURL);

    BareBenchSubject(const BareBenchSubject&) = delete;
    BareBenchSubject& operator=(const BareBenchSubject&) = delete;

    WebKitWebView* webView() const override { return m_webView.get(); }
    void load() override;
    bool isReady() const override { return m_loaded; }
    bool hasFailed() const override { return m_failed; }
    std::string_view bridgeCall() const override
    {
        return "window.webkit.messageHandlers.bare.postMessage({ method: 'getAppInfo', arguments: [] })";
    }

private:
    static gboolean onMessage(WebKitUserContentManager*, JSCValue* message, WebKitScriptMessageReply* reply, gpointer self);

    std::string m_pageURL;
    glib::GRef<WebKitUserContentManager> m_contentManager;
    glib::GRef<WebKitWebView> m_webView;
    bool m_loaded { false };
    bool m_failed { false };
    // Declared last: the window may keep the view alive a little longer than us.
    std::vector<glib::SignalConnection> m_signals;
};

} // namespace quorin::bench
