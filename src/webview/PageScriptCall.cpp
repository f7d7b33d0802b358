#include "PageScriptCall.h"

#include "core/glib/GRef.h"

#include <memory>
#include <webkit/webkit.h>

namespace quorin {

namespace {

struct PendingCall {
    std::function<void(bool)> completion;
};

void finished(GObject* source, GAsyncResult* result, gpointer data)
{
    std::unique_ptr<PendingCall> call(static_cast<PendingCall*>(data));
    GError* error = nullptr;
    auto value = glib::adoptGRef(webkit_web_view_call_async_javascript_function_finish(WEBKIT_WEB_VIEW(source), result, &error));
    glib::GErrorPtr ownedError(error);
    if (call->completion)
        call->completion(!ownedError);
}

} // namespace

void callPageScript(WebKitWebView* webView, std::string_view script, const PageScriptArguments& arguments, std::function<void(bool)> completion)
{
    std::string body;
    GVariantBuilder variables;
    g_variant_builder_init(&variables, G_VARIANT_TYPE_VARDICT);
    for (const auto& [name, value] : arguments) {
        body += name + " = JSON.parse(" + name + ");\n";
        g_variant_builder_add(&variables, "{sv}", name.c_str(), g_variant_new_string(value.jsonText().c_str()));
    }
    body += script;

    auto* call = completion ? new PendingCall { std::move(completion) } : nullptr;
    webkit_web_view_call_async_javascript_function(webView, body.c_str(), static_cast<gssize>(body.size()), g_variant_builder_end(&variables),
        nullptr, nullptr, nullptr, call ? finished : nullptr, call);
}

} // namespace quorin
