#include "core/JsonReaders.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>

namespace quorin::json {
namespace {

TEST(JsonReaders, ParseAcceptsCompleteDocumentsOnly)
{
    const std::pair<std::string, bool> cases[] = {
        { " \n{\"a\": [1, 2.5, \"x\", null, true]}\t", true },
        { "\xEF\xBB\xBF{}", true },
        { "{\"a\": \"\\u0000\"}", true },
        { std::string(100000, '[') + std::string(100000, ']'), true },
        { std::string(100000, '['), false },
        { "{} x", false },
        { "/* c */ {}", false },
        { "{\"a\": NaN}", false },
        { "{\"a\": \"\xC3\"}", false },
        { std::string("{}\0{\"a\": 1}", 12), false },
        { std::string("{\"a\": \"\0\"}", 10), false },
        { "{\"a\": 1e400}", false },
    };
    for (const auto& [text, accepted] : cases)
        EXPECT_EQ(parse(text).has_value(), accepted) << text.substr(0, 40);
}

TEST(JsonReaders, IntegerValueAcceptsExactlyTheSigned64BitIntegers)
{
    constexpr auto int64Min = std::numeric_limits<std::int64_t>::min();
    const std::pair<nlohmann::json, std::optional<std::int64_t>> cases[] = {
        { parse("-0.0").value(), 0 },
        { parse("9223372036854775807").value(), std::numeric_limits<std::int64_t>::max() },
        { parse("-9223372036854775808").value(), int64Min },
        { parse("-9.2233720368547758e18").value(), int64Min },
        { parse("9223372036854775808").value(), std::nullopt },
        { parse("9.2233720368547758e18").value(), std::nullopt },
        { parse("-9.22337203685478e18").value(), std::nullopt },
        { parse("1.5").value(), std::nullopt },
        { parse("true").value(), std::nullopt },
        { parse("\"1\"").value(), std::nullopt },
        { std::numeric_limits<double>::quiet_NaN(), std::nullopt },
        { std::numeric_limits<double>::infinity(), std::nullopt },
    };
    for (const auto& [value, expected] : cases)
        EXPECT_EQ(integerValue(value), expected) << value.dump();
}

// Unicode white space and line breaks at either end; format characters are not white space.
TEST(JsonReaders, IsTrimmedNonEmptyRefusesWhiteSpaceAtEitherEnd)
{
    const std::pair<const char*, bool> cases[] = {
        { "a\tb\nc", true },
        { "Quorin\xE2\x80\x8B", true }, // U+200B
        { "", false },
        { " Quorin", false },
        { "\r\nQuorin", false },
        { "Quorin\xC2\x85", false },     // U+0085
        { "Quorin\xC2\xA0", false },     // U+00A0
        { "\xE1\x9A\x80Quorin", false }, // U+1680
        { "Quorin\xE2\x80\x80", false }, // U+2000
        { "Quorin\xE2\x80\x8A", false }, // U+200A
        { "Quorin\xE2\x80\xA8", false }, // U+2028
        { "\xE2\x80\xA9Quorin", false }, // U+2029
        { "Quorin\xE2\x81\x9F", false }, // U+205F
        { "\xE3\x80\x80", false },       // U+3000
    };
    for (const auto& [text, trimmed] : cases)
        EXPECT_EQ(isTrimmedNonEmpty(text), trimmed) << text;
}

} // namespace
} // namespace quorin::json
