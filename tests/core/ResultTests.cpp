#include "core/Result.h"

#include <gtest/gtest.h>

#include <string>

namespace quorin {
namespace {

Result<int, std::string> digit(char c) { return c < '0' || c > '9' ? Result<int, std::string>(fail(std::string("not a digit"))) : c - '0'; }
Result<int, std::string> even(int value) { return value % 2 ? Result<int, std::string>(fail(std::string("odd"))) : value; }
// Compiles under -Wshadow only if the two TRY locals have different names.
Result<int, std::string> evenDigit(char c) { return TRY(even(TRY(digit(c)))); }

TEST(Result, NestedTryReturnsTheFirstFailureInEvaluationOrder)
{
    auto outcome = [](char c) { auto result = evenDigit(c); return result ? std::to_string(result.value()) : result.error(); };
    EXPECT_EQ(outcome('x'), "not a digit");
    EXPECT_EQ(outcome('3'), "odd");
    EXPECT_EQ(outcome('4'), "4");
}

} // namespace
} // namespace quorin
