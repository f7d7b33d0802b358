#include "e2e/PageDriver.h"

#include "core/glib/GRef.h"

#include <gtest/gtest.h>

namespace quorin::test {

using glib::GRef;

bool runUntil(const std::function<bool()>& predicate, std::chrono::milliseconds timeout)
{
    bool timedOut = false;
    guint timer = g_timeout_add(static_cast<guint>(timeout.count()),
        +[](gpointer flag) { *static_cast<bool*>(flag) = true; return G_SOURCE_REMOVE; }, &timedOut);
    while (!predicate() && !timedOut)
        g_main_context_iteration(nullptr, TRUE);
    if (!timedOut)
        g_source_remove(timer);
    bool held = predicate();
    EXPECT_TRUE(held) << "timed out after " << timeout.count() << " ms";
    return held;
}

void runFor(std::chrono::milliseconds duration)
{
    bool elapsed = false;
    g_timeout_add(static_cast<guint>(duration.count()),
        +[](gpointer flag) { *static_cast<bool*>(flag) = true; return G_SOURCE_REMOVE; }, &elapsed);
    while (!elapsed)
        g_main_context_iteration(nullptr, TRUE);
}

namespace {

struct ScriptRun {
    using Finish = JSCValue* (*)(WebKitWebView*, GAsyncResult*, GError**);
    explicit ScriptRun(Finish finishFunction)
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
        auto* run = static_cast<ScriptRun*>(data);
        GError* error = nullptr;
        run->value = GRef<JSCValue>::adopt(run->finish(WEBKIT_WEB_VIEW(source), result, &error));
        run->error.reset(error);
        run->done = true;
    }
};

std::string jsonOf(JSCValue* value)
{
    if (jsc_value_is_undefined(value))
        return "undefined";
    return glib::takeString(jsc_value_to_json(value, 0));
}

Result<std::string, std::string> waitFor(ScriptRun& run)
{
    // The callback writes into `run`: after a timeout, cancel and still wait for it.
    if (!runUntil([&] { return run.done; })) {
        g_cancellable_cancel(run.cancellable.get());
        while (!run.done)
            g_main_context_iteration(nullptr, TRUE);
    }
    if (run.error)
        return fail(std::string(run.error->message));
    return jsonOf(run.value.get());
}

} // namespace

Result<std::string, std::string> PageDriver::evaluate(const std::string& script) const
{
    ScriptRun run(webkit_web_view_evaluate_javascript_finish);
    webkit_web_view_evaluate_javascript(m_webView, script.c_str(), static_cast<gssize>(script.size()),
        nullptr, nullptr, run.cancellable.get(), ScriptRun::onFinished, &run);
    return waitFor(run);
}

Result<std::string, std::string> PageDriver::callAsync(const std::string& body) const
{
    ScriptRun run(webkit_web_view_call_async_javascript_function_finish);
    webkit_web_view_call_async_javascript_function(m_webView, body.c_str(), static_cast<gssize>(body.size()),
        nullptr, nullptr, nullptr, run.cancellable.get(), ScriptRun::onFinished, &run);
    return waitFor(run);
}

static std::string valueOrFailure(Result<std::string, std::string> result, const std::string& script)
{
    if (result.isError()) {
        ADD_FAILURE() << "script failed: " << result.error() << "\n" << script;
        return "<error: " + result.error() + ">";
    }
    return result.releaseValue();
}

std::string PageDriver::value(const std::string& script) const
{
    return valueOrFailure(evaluate(script), script);
}

std::string PageDriver::asyncValue(const std::string& body) const
{
    return valueOrFailure(callAsync(body), body);
}

} // namespace quorin::test
