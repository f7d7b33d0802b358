#include "BridgeMessageTestSupport.h"
#include "bridge/BridgeValue.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cmath>
#include <limits>
#include <optional>
#include <string>
#include <vector>

namespace quorin {
namespace {

using Case = BridgeRequestError::Case;
using nlohmann::json;
using test::nested;
using test::objectOf;
using test::jsonString;
using test::repeat;

struct ConversionCase {
    std::string name;
    json tree;
    int depth;
    std::optional<Case> expected; // nullopt: converts
};

json parsed(const std::string& text)
{
    return json::parse(text);
}

TEST(BridgeValue, ConversionAppliesTheLimitsInOrder)
{
    const std::string e = "\xc3\xa9";
    const ConversionCase cases[] = {
        { "null at depth 8", nullptr, 8, std::nullopt },
        { "null at depth 9", nullptr, 9, Case::ValueTooDeep },
        { "empty array at depth 8", json::array(), 8, std::nullopt },
        { "non-empty array at depth 8", parsed("[1]"), 8, Case::ValueTooDeep },
        { "innermost at depth 8", parsed(nested(8, "1")), 0, std::nullopt },
        { "innermost at depth 9", parsed(nested(9, "1")), 0, Case::ValueTooDeep },
        { "32768-byte string", std::string(32768, 's'), 0, std::nullopt },
        { "32769-byte string", std::string(32769, 's'), 0, Case::ValueTooLarge },
        { "32768 bytes of two-byte characters", repeat(e, 16384), 0, std::nullopt },
        { "32769 bytes with two-byte characters", repeat(e, 16384) + "s", 0, Case::ValueTooLarge },
        { "infinite number", std::numeric_limits<double>::infinity(), 0, Case::InvalidValue },
        { "not a number", std::nan(""), 0, Case::InvalidValue },
        { "binary", json::binary({ 1, 2 }), 0, Case::InvalidValue },
        { "128 elements", parsed("[" + test::list("0", 128) + "]"), 0, std::nullopt },
        { "129 elements", parsed("[" + test::list("0", 129) + "]"), 0, Case::ValueTooLarge },
        { "129 elements too deep", parsed("[" + test::list("0", 129) + "]"), 9, Case::ValueTooDeep },
        { "128 members", parsed(objectOf(128)), 0, std::nullopt },
        { "129 members", parsed(objectOf(129)), 0, Case::ValueTooLarge },
        { "128-byte key", json { { std::string(128, 'k'), 1 } }, 0, std::nullopt },
        { "129-byte key", json { { std::string(129, 'k'), 1 } }, 0, Case::ValueTooLarge },
        { "129-byte key of two-byte characters", json { { repeat(e, 64) + "k", 1 } }, 0, Case::ValueTooLarge },
        { "smallest key fails first (deep)", json { { "a", parsed(nested(9, "")) }, { "b", std::string(32769, 's') } }, 0, Case::ValueTooDeep },
        { "smallest key fails first (large)", json { { "a", std::string(32769, 's') }, { "b", parsed(nested(9, "")) } }, 0, Case::ValueTooLarge },
        { "long key sorts before a deep member", json { { std::string(129, 'a'), 1 }, { "b", parsed(nested(9, "")) } }, 0, Case::ValueTooLarge },
        { "first element fails first", parsed("[" + nested(9, "") + "," + jsonString(std::string(32769, 's')) + "]"), 0, Case::ValueTooDeep },
        { "nested infinite number", json::array({ 1, json::array({ std::numeric_limits<double>::infinity() }) }), 0, Case::InvalidValue },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto result = BridgeValue::decode(c.tree, c.depth);
        if (c.expected) {
            ASSERT_TRUE(result.isError());
            EXPECT_EQ(result.error(), BridgeRequestError::of(*c.expected));
        } else {
            EXPECT_TRUE(result.hasValue()) << ::testing::PrintToString(result.error());
        }
    }
}

TEST(BridgeValue, ConversionKeepsEveryCase)
{
    auto result = BridgeValue::decode(parsed(R"({"b":[true,false,null],"a":{"n":-2.5,"i":7,"u":18446744073709551615,"s":"x/y"}})"));
    ASSERT_TRUE(result.hasValue());
    BridgeValue expected = BridgeValue::object({
        { "a", BridgeValue::object({ { "i", BridgeValue::number(7) }, { "n", BridgeValue::number(-2.5) }, { "s", BridgeValue::string("x/y") }, { "u", BridgeValue::number(18446744073709551615.0) } }) },
        { "b", BridgeValue::array({ BridgeValue::boolean(true), BridgeValue::boolean(false), BridgeValue::null() }) },
    });
    EXPECT_EQ(*result, expected);
    // A boolean is never a number.
    EXPECT_TRUE(BridgeValue::decode(json(true))->isBool());
    EXPECT_TRUE(BridgeValue::decode(json(1))->isNumber());
}

TEST(BridgeValue, EqualityIsStructural)
{
    auto object = [](std::initializer_list<BridgeValue::Object::value_type> members) { return BridgeValue::object(BridgeValue::Object(members)); };
    EXPECT_EQ(object({ { "a", BridgeValue::number(1) }, { "b", BridgeValue::null() } }), object({ { "b", BridgeValue::null() }, { "a", BridgeValue::number(1) } }));
    EXPECT_NE(object({ { "a", BridgeValue::number(1) } }), object({ { "a", BridgeValue::number(2) } }));
    EXPECT_NE(object({ { "a", BridgeValue::number(1) } }), object({ { "b", BridgeValue::number(1) } }));
    EXPECT_NE(BridgeValue::array({ BridgeValue::number(1), BridgeValue::number(2) }), BridgeValue::array({ BridgeValue::number(2), BridgeValue::number(1) }));
    EXPECT_NE(BridgeValue::array({}), BridgeValue::array({ BridgeValue::null() }));
    EXPECT_NE(BridgeValue::boolean(true), BridgeValue::number(1));
    EXPECT_NE(BridgeValue::array({}), BridgeValue::object({}));
}

TEST(BridgeValue, JsonTextIsCompactSortedAndKeepsSlashesAndUTF8)
{
    const struct {
        BridgeValue value;
        std::string expected;
    } cases[] = {
        { BridgeValue::object({ { "z", BridgeValue::number(1) }, { "a", BridgeValue::string("https://x/y") }, { "M", BridgeValue::null() } }),
            R"({"M":null,"a":"https://x/y","z":1})" },
        { BridgeValue::array({ BridgeValue::number(0.5), BridgeValue::number(-3), BridgeValue::number(1e300), BridgeValue::boolean(false) }), "[0.5,-3,1e+300,false]" },
        { BridgeValue::number(9007199254740992.0), "9007199254740992" },
        { BridgeValue::number(-0.0), "0" },
        { BridgeValue::string("\xc3\xa9\xe2\x80\xa8</script>\"\\\n\x01"), "\"\xc3\xa9\xe2\x80\xa8</script>\\\"\\\\\\n\\u0001\"" },
        { BridgeValue::object({}), "{}" },
        { BridgeValue::array({}), "[]" },
        { BridgeValue::null(), "null" },
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.value.jsonText(), c.expected);
}

TEST(BridgeValue, InvalidUTF8FromTheHostDoesNotThrow)
{
    BridgeValue value = BridgeValue::object({ { "path\xff", BridgeValue::string("a\xc3(b\x80") } });
    std::string text;
    ASSERT_NO_THROW(text = value.jsonText());
    EXPECT_EQ(text, "{\"path\xef\xbf\xbd\":\"a\xef\xbf\xbd(b\xef\xbf\xbd\"}");
}

} // namespace
} // namespace quorin
