#include "PageScriptCall.h"

#include "core/glib/GError.h"

#include <webkit/webkit.h>

namespace quorin {

void callPageScript(WebKitWebView* webView, std::string_view script, const PageScriptArguments& arguments,
    const glib::AsyncScope& scope, std::function<void(bool)> completion)
{
    std::string body;
    GVariantBuilder variables;
    g_variant_builder_init(&variables, G_VARIANT_TYPE_VARDICT);
    for (const auto& [name, value] : arguments) {
        body += name + " = JSON.parse(" + name + ");\n";
        g_variant_builder_add(&variables, "{sv}", name.c_str(), g_variant_new_string(value.jsonText().c_str()));
    }
    body += script;

    // Without a completion no callback is asked for: a callback would keep the view alive
    // until the page answers.
    glib::AsyncCall call { scope.cancellable(), nullptr, nullptr };
    if (completion) {
        call = scope.call([completion = std::move(completion)](GObject* source, GAsyncResult* result) {
            glib::GErrorOut error;
            auto value = glib::adoptGRef(webkit_web_view_call_async_javascript_function_finish(WEBKIT_WEB_VIEW(source), result, error.out()));
            completion(!error);
        });
    }
    webkit_web_view_call_async_javascript_function(webView, body.c_str(), static_cast<gssize>(body.size()), g_variant_builder_end(&variables),
        nullptr, nullptr, call.cancellable, call.callback, call.data);
}

} // namespace quorin
