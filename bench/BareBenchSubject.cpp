#include "BareBenchSubject.h"

namespace quorin::bench {

using glib::adoptGRef;

namespace {

// About the size of the launcher's app-info reply.
constexpr char replyJSON[] = R"({"ok":true,"value":{"name":"Quorin 4.2","version":"4.2.0","platform":"linux"}})";

} // namespace

BareBenchSubject::BareBenchSubject(std::string pageURL)
    : m_pageURL(std::move(pageURL))
{
    auto context = adoptGRef(webkit_web_context_new());
    auto session = adoptGRef(webkit_network_session_new_ephemeral());
    m_contentManager = adoptGRef(webkit_user_content_manager_new());
    // Connected before registering, so no message can arrive unanswered.
    m_signals.push_back(glib::SignalConnection::connect(m_contentManager.get(), "script-message-with-reply-received::bare", G_CALLBACK(onMessage), this));
    webkit_user_content_manager_register_script_message_handler_with_reply(m_contentManager.get(), "bare", nullptr);

    m_webView = glib::adoptFloatingGRef(WEBKIT_WEB_VIEW(g_object_new(WEBKIT_TYPE_WEB_VIEW, "web-context", context.get(),
        "network-session", session.get(), "user-content-manager", m_contentManager.get(), nullptr)));

    auto connect = [this](const char* signal, GCallback handler) {
        m_signals.push_back(glib::SignalConnection::connect(m_webView.get(), signal, handler, this));
    };
    connect("load-changed", G_CALLBACK(+[](WebKitWebView*, WebKitLoadEvent event, BareBenchSubject* self) {
        if (event == WEBKIT_LOAD_FINISHED && !self->m_failed)
            self->m_loaded = true;
    }));
    connect("load-failed", G_CALLBACK(+[](WebKitWebView*, WebKitLoadEvent, char*, GError*, BareBenchSubject* self) -> gboolean {
        self->m_failed = true;
        return FALSE;
    }));
    connect("web-process-terminated", G_CALLBACK(+[](WebKitWebView*, WebKitWebProcessTerminationReason, BareBenchSubject* self) {
        self->m_failed = true;
    }));
}

void BareBenchSubject::load()
{
    webkit_web_view_load_uri(m_webView.get(), m_pageURL.c_str());
}

gboolean BareBenchSubject::onMessage(WebKitUserContentManager*, JSCValue* message, WebKitScriptMessageReply* reply, gpointer self)
{
    static_cast<BareBenchSubject*>(self)->m_arrivals.record();
    auto answer = adoptGRef(jsc_value_new_from_json(jsc_value_get_context(message), replyJSON));
    webkit_script_message_reply_return_value(reply, answer.get());
    return TRUE;
}

} // namespace quorin::bench
