#include "BridgeMessageTestSupport.h"
#include "bridge/BridgeValue.h"

#include <gtest/gtest.h>

#include <string>

namespace quorin {
namespace {

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
