#include "e2e/PageDriver.h"

#include "support/PageScriptRunner.h"

#include <gtest/gtest.h>

namespace quorin::test {

bool runUntil(const std::function<bool()>& predicate, std::chrono::milliseconds timeout)
{
    bool held = PageScriptRunner::runUntil(predicate, timeout);
    EXPECT_TRUE(held) << "timed out after " << timeout.count() << " ms";
    return held;
}

void runFor(std::chrono::milliseconds duration)
{
    PageScriptRunner::runFor(duration);
}

Result<std::string, std::string> PageDriver::evaluate(const std::string& script) const
{
    return PageScriptRunner(m_webView).evaluate(script, defaultTimeout);
}

Result<std::string, std::string> PageDriver::callAsync(const std::string& body) const
{
    return PageScriptRunner(m_webView).callAsync(body, defaultTimeout);
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
