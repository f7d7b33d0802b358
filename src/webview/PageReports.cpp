#include "PageReports.h"

#include "bridge/BridgePageHandler.h"

#include <cstdio>
#include <webkit/webkit.h>

namespace quorin {

PageReports::PageReports(WebKitWebView* webView, bool writesConsole, std::function<void()> extensionReported)
    : m_writesConsole(writesConsole)
    , m_extensionReported(std::move(extensionReported))
    , m_connection(glib::SignalConnection::connect(webView, "user-message-received",
          G_CALLBACK(+[](WebKitWebView*, WebKitUserMessage* message, PageReports* self) -> gboolean { return self->receive(message); }), this))
{
}

bool PageReports::receive(WebKitUserMessage* message)
{
    const char* name = webkit_user_message_get_name(message);
    GVariant* parameters = webkit_user_message_get_parameters(message);
    if (!name || !parameters)
        return false;
    if (name == extensionHelloMessageName && g_variant_is_of_type(parameters, G_VARIANT_TYPE("(s)"))) {
        if (m_extensionReported)
            m_extensionReported();
        return true;
    }
    if (name == consoleMessageName && g_variant_is_of_type(parameters, G_VARIANT_TYPE("(ssu)"))) {
        const char* text = nullptr;
        const char* source = nullptr;
        guint32 line = 0;
        g_variant_get(parameters, "(&s&su)", &text, &source, &line);
        // The text as the page wrote it, after where it came from when the engine knows.
        if (m_writesConsole) {
            if (*source)
                std::printf("%s:%u: %s\n", source, line, text);
            else
                std::printf("%s\n", text);
            std::fflush(stdout);
        }
        return true;
    }
    return false;
}

} // namespace quorin
