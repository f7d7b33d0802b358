#include "bridge/BridgeValue.h"

#include <gtest/gtest.h>


namespace quorin {

inline void PrintTo(const BridgeValue& value, std::ostream* out) { *out << value.jsonText(); }

namespace {

TEST(BridgeValue, ComparesByStructureAndWritesCompactSortedJsonKeepingSlashesAndUTF8AndReplacingInvalidUTF8)
{
    auto number = BridgeValue::number;
    EXPECT_EQ(BridgeValue::object({ { "a", number(1) }, { "b", BridgeValue::null() } }), BridgeValue::object({ { "b", BridgeValue::null() }, { "a", number(1) } }));
    EXPECT_NE(BridgeValue::object({ { "a", number(1) } }), BridgeValue::object({ { "a", number(2) } }));
    EXPECT_NE(BridgeValue::array({ number(1), number(2) }), BridgeValue::array({ number(2), number(1) }));
    EXPECT_NE(BridgeValue::boolean(true), number(1));
    EXPECT_NE(BridgeValue::array({}), BridgeValue::object({}));
    EXPECT_EQ(BridgeValue::object({ { "z", number(1) }, { "a", BridgeValue::string("https://x/y") }, { "M", BridgeValue::null() } }).jsonText(), R"({"M":null,"a":"https://x/y","z":1})");
    EXPECT_EQ(BridgeValue::array({ number(0.5), number(-3), number(1e300), BridgeValue::boolean(false), BridgeValue::array({}), BridgeValue::object({}) }).jsonText(), "[0.5,-3,1e+300,false,[],{}]");
    EXPECT_EQ(number(9007199254740992.0).jsonText(), "9007199254740992");
    EXPECT_EQ(number(-0.0).jsonText(), "0");
    EXPECT_EQ(BridgeValue::object({ { "path\xff", BridgeValue::string("a\xc3(b\x80") } }).jsonText(), "{\"path\xef\xbf\xbd\":\"a\xef\xbf\xbd(b\xef\xbf\xbd\"}"); // from the host, never thrown on
    EXPECT_EQ(BridgeValue::string("\xc3\xa9\xe2\x80\xa8</script>\"\\\n\x01").jsonText(), "\"\xc3\xa9\xe2\x80\xa8</script>\\\"\\\\\\n\\u0001\"");
}

TEST(BridgeValue, ObjectsKeepKeysInByteOrderAndTheFirstOfEqualKeys)
{
    BridgeValue::Object object { { "b", BridgeValue::number(1) }, { "a", BridgeValue::null() }, { "b", BridgeValue::number(2) } };
    EXPECT_FALSE(object.emplace("a", BridgeValue::number(3)).second);
    EXPECT_TRUE(object.emplace("ab", BridgeValue::number(4)).second);
    EXPECT_EQ(BridgeValue::object(object).jsonText(), R"({"a":null,"ab":4,"b":1})");
    EXPECT_EQ(object.find("b")->second, BridgeValue::number(1));
    EXPECT_FALSE(object.contains("B"));
}

} // namespace
} // namespace quorin
