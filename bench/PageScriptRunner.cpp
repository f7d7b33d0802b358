#include "PageScriptRunner.h"

#include "core/glib/GRef.h"

#include <webkit/webkit.h>

namespace quorin::bench {

using glib::GRef;

bool PageScriptRunner::runUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout)
{
    bool timedOut = false;
    guint timer = g_timeout_add(static_cast<guint>(timeout.count()),
        +[](gpointer flag) { *static_cast<bool*>(flag) = true; return G_SOURCE_REMOVE; }, &timedOut);
    while (!condition() && !timedOut)
        g_main_context_iteration(nullptr, TRUE);
    if (!timedOut)
        g_source_remove(timer);
    return condition();
}

void PageScriptRunner::runFor(std::chrono::milliseconds duration)
{
    runUntil([] { return false; }, duration);
}

namespace {

struct ScriptCall {
    GRef<GCancellable> cancellable { GRef<GCancellable>::adopt(g_cancellable_new()) };
    bool done { false };
    GRef<JSCValue> value;
    glib::GErrorPtr error;

    static void onFinished(GObject* source, GAsyncResult* result, gpointer data)
    {
        auto* call = static_cast<ScriptCall*>(data);
        GError* error = nullptr;
        call->value = GRef<JSCValue>::adopt(webkit_web_view_call_async_javascript_function_finish(WEBKIT_WEB_VIEW(source), result, &error));
        call->error.reset(error);
        call->done = true;
    }
};

} // namespace

Result<std::string, std::string> PageScriptRunner::callAsync(const std::string& body, std::chrono::milliseconds timeout) const
{
    ScriptCall call;
    webkit_web_view_call_async_javascript_function(m_webView, body.c_str(), static_cast<gssize>(body.size()),
        nullptr, nullptr, nullptr, call.cancellable.get(), ScriptCall::onFinished, &call);
    // The callback writes into `call`: after a timeout, cancel and still wait for it.
    if (!runUntil([&] { return call.done; }, timeout)) {
        g_cancellable_cancel(call.cancellable.get());
        while (!call.done)
            g_main_context_iteration(nullptr, TRUE);
    }
    if (call.error)
        return fail(std::string(call.error->message));
    if (jsc_value_is_undefined(call.value.get()))
        return std::string("undefined");
    return glib::takeString(jsc_value_to_json(call.value.get(), 0));
}

} // namespace quorin::bench
