#include "PageScriptRunner.h"

#include "core/glib/AsyncScope.h"
#include "core/glib/GError.h"
#include "core/glib/GUniquePtr.h"

#include <webkit/webkit.h>

#include <optional>

namespace quorin {

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

using Finish = JSCValue* (*)(WebKitWebView*, GAsyncResult*, GError**);
using Outcome = Result<std::string, std::string>;

// Starts a script call with `start` and runs the main loop until it finishes. On a timeout the
// scope ends and cancels the call, so its late completion never touches this frame.
Outcome waitForScript(const std::function<void(const glib::AsyncCall&)>& start, Finish finish, std::chrono::milliseconds timeout)
{
    std::optional<Outcome> outcome;
    glib::AsyncScope scope;
    start(scope.call([&outcome, finish](GObject* source, GAsyncResult* result) {
        glib::GErrorOut error;
        auto value = glib::adoptGRef(finish(WEBKIT_WEB_VIEW(source), result, error.out()));
        if (auto status = error.status(); status.isError())
            outcome = fail(status.error().message);
        else if (jsc_value_is_undefined(value.get()))
            outcome = std::string("undefined");
        else
            outcome = glib::takeString(jsc_value_to_json(value.get(), 0));
    }));
    if (!PageScriptRunner::runUntil([&outcome] { return outcome.has_value(); }, timeout))
        return fail("no answer within " + std::to_string(timeout.count()) + " ms");
    return std::move(*outcome);
}

} // namespace

Outcome PageScriptRunner::evaluate(const std::string& script, std::chrono::milliseconds timeout) const
{
    return waitForScript([&](const glib::AsyncCall& call) {
        webkit_web_view_evaluate_javascript(m_webView, script.c_str(), static_cast<gssize>(script.size()),
            nullptr, nullptr, call.cancellable, call.callback, call.data);
    }, webkit_web_view_evaluate_javascript_finish, timeout);
}

Outcome PageScriptRunner::callAsync(const std::string& body, std::chrono::milliseconds timeout) const
{
    return waitForScript([&](const glib::AsyncCall& call) {
        webkit_web_view_call_async_javascript_function(m_webView, body.c_str(), static_cast<gssize>(body.size()),
            nullptr, nullptr, nullptr, call.cancellable, call.callback, call.data);
    }, webkit_web_view_call_async_javascript_function_finish, timeout);
}

} // namespace quorin
