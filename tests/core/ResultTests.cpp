#include "core/Result.h"

#include <gtest/gtest.h>

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
    auto outcome = [](char c) { auto result = evenDigit(c); return result ? std::to_string(result.value()) : result.error(); };
    EXPECT_EQ(outcome('x'), "not a digit");
    EXPECT_EQ(outcome('3'), "odd");
    EXPECT_EQ(outcome('4'), "4");
}

} // namespace
} // namespace quorin
