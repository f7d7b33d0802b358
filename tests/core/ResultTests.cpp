#include "core/Result.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace quorin {
namespace {

Result<int, std::string> digit(char c)
{
    if (c < '0' || c > '9')
        return fail(std::string("not a digit"));
    return c - '0';
}

Result<int, std::string> even(int value)
{
    if (value % 2 != 0)
        return fail(std::string("odd"));
    return value;
}

// Compiles under -Wshadow only if the two TRY locals have different names.
Result<int, std::string> evenDigit(char c)
{
    return TRY(even(TRY(digit(c))));
}

TEST(Result, NestedTryReturnsTheFirstFailureInEvaluationOrder)
{
    struct Case {
        char input;
        std::optional<int> value;
        std::string error;
    };
    for (const auto& c : { Case { 'x', std::nullopt, "not a digit" }, Case { '3', std::nullopt, "odd" }, Case { '4', 4, "" } }) {
        auto result = evenDigit(c.input);
        if (c.value)
            EXPECT_EQ(result.hasValue() ? result.value() : -1, *c.value) << c.input;
        else
            EXPECT_EQ(result.isError() ? result.error() : "", c.error) << c.input;
    }
}

} // namespace
} // namespace quorin
