#include "PageScriptRunner.h"

#include "core/glib/GRef.h"

#include <webkit/webkit.h>

namespace quorin {

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
    using Finish = JSCValue* (*)(WebKitWebView*, GAsyncResult*, GError**);
    explicit ScriptCall(Finish finishFunction)
        : finish(finishFunction)
    {
    }
    Finish finish;
    GRef<GCancellable> cancellable { GRef<GCancellable>::adopt(g_cancellable_new()) };
    bool done { false };
    GRef<JSCValue> value;
    glib::GErrorPtr error;

    static void onFinished(GObject* source, GAsyncResult* result, gpointer data)
    {
        auto* call = static_cast<ScriptCall*>(data);
        GError* error = nullptr;
        call->value = GRef<JSCValue>::adopt(call->finish(WEBKIT_WEB_VIEW(source), result, &error));
        call->error.reset(error);
        call->done = true;
    }

    Result<std::string, std::string> wait(std::chrono::milliseconds timeout)
    {
        // The callback writes into this object: after a timeout, cancel and still wait for it.
        if (!PageScriptRunner::runUntil([this] { return done; }, timeout)) {
            g_cancellable_cancel(cancellable.get());
            while (!done)
                g_main_context_iteration(nullptr, TRUE);
        }
        if (error)
            return fail(std::string(error->message));
        if (jsc_value_is_undefined(value.get()))
            return std::string("undefined");
        return glib::takeString(jsc_value_to_json(value.get(), 0));
    }
};

} // namespace

Result<std::string, std::string> PageScriptRunner::evaluate(const std::string& script, std::chrono::milliseconds timeout) const
{
    ScriptCall call(webkit_web_view_evaluate_javascript_finish);
    webkit_web_view_evaluate_javascript(m_webView, script.c_str(), static_cast<gssize>(script.size()),
        nullptr, nullptr, call.cancellable.get(), ScriptCall::onFinished, &call);
    return call.wait(timeout);
}

Result<std::string, std::string> PageScriptRunner::callAsync(const std::string& body, std::chrono::milliseconds timeout) const
{
    ScriptCall call(webkit_web_view_call_async_javascript_function_finish);
    webkit_web_view_call_async_javascript_function(m_webView, body.c_str(), static_cast<gssize>(body.size()),
        nullptr, nullptr, nullptr, call.cancellable.get(), ScriptCall::onFinished, &call);
    return call.wait(timeout);
}

} // namespace quorin
