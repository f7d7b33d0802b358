#pragma once

// Drives any web view from a test: runs the main loop until something happens and runs
// scripts in the main frame, returning their values as JSON text.

#include "core/Result.h"

#include <webkit/webkit.h>

#include <chrono>
#include <functional>
#include <string>

namespace quorin::test {

// Generous: a loaded machine or a sanitizer build can take seconds to start a web process.
inline constexpr std::chrono::milliseconds defaultTimeout { 20'000 };

// Runs the main loop until the predicate holds; on timeout adds a test failure.
bool runUntil(const std::function<bool()>& predicate, std::chrono::milliseconds timeout = defaultTimeout);
// Runs the main loop for a while, for checks that something does NOT happen.
void runFor(std::chrono::milliseconds duration);

class PageDriver {
public:
    explicit PageDriver(WebKitWebView* webView)
        : m_webView(webView)
    {
    }

    // Evaluates a script in the main frame's page world: its value as JSON text, or the
    // exception's message.
    Result<std::string, std::string> evaluate(const std::string& script) const;
    // Runs the body of an async function (it may await) in the main frame: the awaited value
    // as JSON text, or the rejection's message.
    Result<std::string, std::string> callAsync(const std::string& body) const;
    // evaluate() that must succeed; the value's JSON text, or "<error: ...>" with a test failure.
    std::string value(const std::string& script) const;
    std::string asyncValue(const std::string& body) const;

private:
    WebKitWebView* m_webView;
};

} // namespace quorin::test
