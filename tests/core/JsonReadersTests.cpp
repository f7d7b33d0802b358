#include "core/JsonReaders.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>

namespace quorin::json {
namespace {

constexpr auto int64Max = std::numeric_limits<std::int64_t>::max();
constexpr auto int64Min = std::numeric_limits<std::int64_t>::min();

nlohmann::json parsed(const std::string& text)
{
    auto value = parse(text);
    if (!value)
        ADD_FAILURE() << "not JSON: " << text;
    return value.value_or(nullptr);
}

TEST(JsonReaders, ParseAcceptsCompleteDocumentsOnly)
{
    struct Case {
        std::string text;
        bool accepted;
    } cases[] = {
        { "{}", true },
        { " \n{\"a\": [1, 2.5, \"x\", null, true]}\t", true },
        { "[]", true },
        { "1", true },
        { "\xEF\xBB\xBF{}", true },
        { "", false },
        { "{", false },
        { "{} x", false },
        { "[1,]", false },
        { "{\"a\":1,}", false },
        { "{'a': 1}", false },
        { "/* c */ {}", false },
        { "{\"a\": NaN}", false },
        { "{\"a\": 01}", false },
        { "{\"a\": \"\xFF\"}", false },
        { "{\"a\": \"\xC3\"}", false },
        { std::string("{}\0", 3), false },
        { std::string("{}\0{\"a\": 1}", 12), false },
        { std::string("{\"a\": \"\0\"}", 10), false },
        { "{\"a\": \"\\u0000\"}", true },
        { "{\"a\": 1e400}", false },
    };
    for (const auto& testCase : cases) {
        SCOPED_TRACE(testCase.text);
        EXPECT_EQ(parse(testCase.text).has_value(), testCase.accepted);
    }
}

TEST(JsonReaders, ParseSurvivesDeepNesting)
{
    constexpr int depth = 100000;
    std::string text = std::string(depth, '[') + std::string(depth, ']');
    auto value = parse(text);
    ASSERT_TRUE(value.has_value());
    EXPECT_TRUE(value->is_array());
    EXPECT_FALSE(parse(std::string(depth, '[')).has_value());
}

TEST(JsonReaders, IntegerValueAcceptsExactlyTheSigned64BitIntegers)
{
    struct Case {
        const char* text;
        std::optional<std::int64_t> value;
    } cases[] = {
        { "1", 1 },
        { "-0", 0 },
        { "-0.0", 0 },
        { "1.0", 1 },
        { "1e2", 100 },
        { "9223372036854775807", int64Max },
        { "-9223372036854775808", int64Min },
        { "9.223372036854775e18", 9223372036854774784 },
        { "-9.2233720368547758e18", int64Min },
        { "1.5", std::nullopt },
        { "1e-7", std::nullopt },
        { "9223372036854775808", std::nullopt },
        { "18446744073709551615", std::nullopt },
        { "18446744073709551616", std::nullopt },
        { "9.2233720368547758e18", std::nullopt },
        { "-9.22337203685478e18", std::nullopt },
        { "true", std::nullopt },
        { "\"1\"", std::nullopt },
        { "[1]", std::nullopt },
    };
    for (const auto& testCase : cases) {
        SCOPED_TRACE(testCase.text);
        EXPECT_EQ(integerValue(parsed(testCase.text)), testCase.value);
    }
}

TEST(JsonReaders, IntegerValueRefusesNonFiniteNumbers)
{
    EXPECT_EQ(integerValue(nlohmann::json(std::numeric_limits<double>::quiet_NaN())), std::nullopt);
    EXPECT_EQ(integerValue(nlohmann::json(std::numeric_limits<double>::infinity())), std::nullopt);
    EXPECT_EQ(integerValue(nlohmann::json(-std::numeric_limits<double>::infinity())), std::nullopt);
}

TEST(JsonReaders, ScalarReadersTakeOnlyTheirOwnKind)
{
    struct Case {
        const char* text;
        std::optional<std::string> string;
        std::optional<bool> boolean;
    } cases[] = {
        { "\"x\"", "x", std::nullopt },
        { "\"\"", "", std::nullopt },
        { "\"true\"", "true", std::nullopt },
        { "true", std::nullopt, true },
        { "false", std::nullopt, false },
        { "0", std::nullopt, std::nullopt },
        { "null", std::nullopt, std::nullopt },
        { "[\"x\"]", std::nullopt, std::nullopt },
    };
    for (const auto& testCase : cases) {
        SCOPED_TRACE(testCase.text);
        auto value = parsed(testCase.text);
        EXPECT_EQ(stringValue(value), testCase.string);
        EXPECT_EQ(booleanValue(value), testCase.boolean);
    }
}

TEST(JsonReaders, StringArrayKeepsOrderAndRefusesMixedElements)
{
    using Strings = std::vector<std::string>;
    struct Case {
        const char* text;
        std::optional<Strings> strings;
    } cases[] = {
        { "[]", Strings {} },
        { "[\"b\", \"a\", \"b\", \" \"]", Strings { "b", "a", "b", " " } },
        { "[\"a\", 1]", std::nullopt },
        { "[[\"a\"]]", std::nullopt },
        { "{\"0\": \"a\"}", std::nullopt },
    };
    for (const auto& testCase : cases) {
        SCOPED_TRACE(testCase.text);
        EXPECT_EQ(stringArray(parsed(testCase.text)), testCase.strings);
    }
}

TEST(JsonReaders, MemberFindsKeysOfObjectsOnly)
{
    auto object = parsed(R"({"a": 1, "b": null, "": "empty"})");
    ASSERT_NE(member(object, "a"), nullptr);
    EXPECT_EQ(*member(object, "a"), 1);
    ASSERT_NE(member(object, "b"), nullptr);
    EXPECT_TRUE(member(object, "b")->is_null());
    ASSERT_NE(member(object, ""), nullptr);
    EXPECT_EQ(*member(object, ""), "empty");
    EXPECT_EQ(member(object, "A"), nullptr);
    EXPECT_EQ(member(object, "c"), nullptr);
    EXPECT_EQ(member(parsed(R"(["a"])"), "a"), nullptr);
    EXPECT_EQ(member(parsed(R"("a")"), "a"), nullptr);
    EXPECT_EQ(member(parsed("null"), "a"), nullptr);
}

TEST(JsonReaders, IsTrimmedNonEmptyRefusesWhiteSpaceAtEitherEnd)
{
    struct Case {
        std::string text;
        bool trimmed;
    } cases[] = {
        { "Quorin 4.2", true },
        { "Q", true },
        { "\xC3\xA9", true },
        { "a\tb\nc", true },
        { "Quorin\xE2\x80\x8B", true },  // U+200B is a format character, not white space
        { "\xE6\x97\xA5", true },         // a three-byte letter
        { "", false },
        { " ", false },
        { "Quorin ", false },
        { " Quorin", false },
        { "Quorin\n", false },
        { "\r\nQuorin", false },
        { "Quorin\t", false },
        { "Quorin\xC2\x85", false },      // U+0085 next line
        { "Quorin\xC2\xA0", false },      // U+00A0 no-break space
        { "\xE1\x9A\x80Quorin", false },  // U+1680 ogham space mark
        { "Quorin\xE2\x80\x80", false },  // U+2000
        { "Quorin\xE2\x80\x8A", false },  // U+200A
        { "Quorin\xE2\x80\xA8", false },  // U+2028 line separator
        { "\xE2\x80\xA9Quorin", false },  // U+2029 paragraph separator
        { "Quorin\xE2\x80\xAF", false },  // U+202F
        { "Quorin\xE2\x81\x9F", false },  // U+205F
        { "\xE3\x80\x80Quorin", false },  // U+3000 ideographic space
        { "\xE3\x80\x80", false },
    };
    for (const auto& testCase : cases) {
        SCOPED_TRACE(testCase.text);
        EXPECT_EQ(isTrimmedNonEmpty(testCase.text), testCase.trimmed);
    }
}

} // namespace
} // namespace quorin::json
