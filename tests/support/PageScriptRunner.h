#pragma once

// Runs the main loop for tests and benchmarks: until a condition holds, for a while, or
// until a script in the page's main frame has finished. Main thread only.

#include "core/Result.h"

#include <chrono>
#include <functional>
#include <string>

typedef struct _WebKitWebView WebKitWebView;

namespace quorin {

class PageScriptRunner {
public:
    explicit PageScriptRunner(WebKitWebView* webView)
        : m_webView(webView)
    {
    }

    // False when the timeout came first.
    static bool runUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout);
    static void runFor(std::chrono::milliseconds duration);

    // Evaluates a script in the main frame's page world: its value as JSON text, or the
    // exception's message, or a message saying that no answer came in time.
    Result<std::string, std::string> evaluate(const std::string& script, std::chrono::milliseconds timeout) const;
    // Runs the body of an async function (it may await) in the main frame: the awaited value
    // as JSON text, or the rejection's message.
    Result<std::string, std::string> callAsync(const std::string& body, std::chrono::milliseconds timeout) const;

private:
    WebKitWebView* m_webView;
};

} // namespace quorin
