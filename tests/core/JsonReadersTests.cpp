#include "core/JsonReaders.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>

namespace quorin::json {
namespace {

TEST(JsonReaders, ParseAcceptsCompleteDocumentsOnly)
{
    for (const std::string text : { " \n{\"a\": [1, 2.5, \"x\", null, true]}\t", "\xEF\xBB\xBF{}", "{\"a\": \"\\u0000\"}" })
        EXPECT_TRUE(parse(text).has_value()) << text;
    EXPECT_TRUE(parse(std::string(100000, '[') + std::string(100000, ']')).has_value());
    for (const auto& text : { std::string(100000, '['), std::string("{} x"), std::string("/* c */ {}"), std::string("{\"a\": NaN}"), std::string("{\"a\": \"\xC3\"}"),
             std::string("{}\0{\"a\": 1}", 12), std::string("{\"a\": \"\0\"}", 10), std::string("{\"a\": 1e400}") })
        EXPECT_FALSE(parse(text).has_value()) << text.substr(0, 40);
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
        { "1", std::nullopt },
        { std::numeric_limits<double>::quiet_NaN(), std::nullopt },
    };
    for (const auto& [value, expected] : cases)
        EXPECT_EQ(integerValue(value), expected) << value.dump();
}

// Unicode white space and line breaks at either end; format characters are not white space.
TEST(JsonReaders, IsTrimmedNonEmptyRefusesWhiteSpaceAtEitherEnd)
{
    EXPECT_TRUE(isTrimmedNonEmpty("a\tb\nc"));
    EXPECT_TRUE(isTrimmedNonEmpty("Quorin\xE2\x80\x8B")); // U+200B
    // "", then U+0020, CR LF, U+0085, U+00A0, U+1680, U+2000, U+200A, U+2028, U+2029, U+205F, U+3000.
    for (const char* text : { "", " Quorin", "\r\nQuorin", "Quorin\xC2\x85", "Quorin\xC2\xA0", "\xE1\x9A\x80Quorin", "Quorin\xE2\x80\x80", "Quorin\xE2\x80\x8A",
             "Quorin\xE2\x80\xA8", "\xE2\x80\xA9Quorin", "Quorin\xE2\x81\x9F", "\xE3\x80\x80" })
        EXPECT_FALSE(isTrimmedNonEmpty(text)) << text;
}

} // namespace
} // namespace quorin::json
