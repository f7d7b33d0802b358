#include "BridgeMessageTestSupport.h"
#include "bridge/BridgeRequest.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace quorin {
namespace {

using Case = BridgeRequestError::Case;
using test::Body;
using test::list;
using test::nested;
using test::objectOf;
using test::jsonString;
using test::repeat;

struct DecodeCase {
    std::string name;
    std::string text;
    std::optional<BridgeRequestError> expected; // nullopt: the body parses
};

BridgeRequestError error(Case errorCase)
{
    return BridgeRequestError::of(errorCase);
}

BridgeRequestError unknownKey(std::string key)
{
    return BridgeRequestError::unknownKey(std::move(key));
}

void expectDecodes(const std::vector<DecodeCase>& cases)
{
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto result = BridgeRequest::decode(c.text);
        if (c.expected) {
            ASSERT_TRUE(result.isError());
            EXPECT_EQ(result.error(), *c.expected);
        } else {
            EXPECT_TRUE(result.hasValue()) << "failed with " << ::testing::PrintToString(result.error());
        }
    }
}

std::string withArguments(const std::string& arguments)
{
    return Body { .arguments = arguments }.text();
}

const std::string idChars64 = repeat("aZ09_-", 10) + "abcd";
const std::string e = "\xc3\xa9"; // "é", two UTF-8 bytes

// `bytes` of string content split into `chunks` string arguments (by default as few as
// keep each within 32,000 bytes).
std::string filler(std::size_t bytes, std::size_t chunks = 0)
{
    if (chunks == 0)
        chunks = (bytes + 31999) / 32000;
    std::string arguments;
    for (std::size_t i = 0; i < chunks; ++i)
        arguments += (i ? "," : "") + jsonString(std::string(bytes / chunks + (i < bytes % chunks ? 1 : 0), 'x'));
    return arguments;
}

// A request of exactly `size` compact bytes, plus `extra` members.
std::string bodyOfCompactSize(std::size_t size, const std::string& extra = {})
{
    Body body { .extra = extra };
    std::size_t base = body.text().size();
    std::size_t chunks = size / 32000 + 1; // each adds two quotes and a comma, less one comma
    body.arguments = "[" + filler(size - base - (3 * chunks - 1), chunks) + "]";
    return body.text();
}

TEST(BridgeRequest, BoundaryBodiesHaveTheIntendedCompactSize)
{
    for (std::size_t size : { 262144u, 262145u }) {
        EXPECT_EQ(nlohmann::json::parse(bodyOfCompactSize(size)).dump().size(), size);
        EXPECT_EQ(nlohmann::json::parse(bodyOfCompactSize(size, R"("zz":1)")).dump().size(), size);
    }
}

TEST(BridgeRequest, DecodesAWellFormedRequest)
{
    auto result = BridgeRequest::decode(R"({"schemaVersion":1,"requestId":"linux_1733_7","method":"preferences.setPlayBackgroundTheme",)"
                                        R"("arguments":["server-1",{"url":"https://cdn/x.png","n":[1.5,true,null,-7,18446744073709551615]}]})");
    ASSERT_TRUE(result.hasValue());
    EXPECT_EQ(result->requestID(), "linux_1733_7");
    EXPECT_EQ(result->method(), BridgeMethod::PreferencesSetPlayBackgroundTheme);
    BridgeValue expectedObject = BridgeValue::object({
        { "n", BridgeValue::array({ BridgeValue::number(1.5), BridgeValue::boolean(true), BridgeValue::null(), BridgeValue::number(-7), BridgeValue::number(18446744073709551615.0) }) },
        { "url", BridgeValue::string("https://cdn/x.png") },
    });
    EXPECT_EQ(result->arguments(), (std::vector<BridgeValue> { BridgeValue::string("server-1"), expectedObject }));
}

TEST(BridgeRequest, EarlierCheckWinsWhenABodyHasSeveralFaults)
{
    std::string tooDeep = nested(10, "1");
    std::string tooLong = jsonString(std::string(32769, 'x'));
    expectDecodes({
        { "syntax error beats unknown key", Body { .extra = R"("zz":1)" }.text() + "x", error(Case::InvalidBody) },
        { "top-level string over the limit is invalid, not too large", jsonString(std::string(300000, 'x')), error(Case::InvalidBody) },
        { "top-level array over the limit is too large", "[" + filler(270000) + "]", error(Case::PayloadTooLarge) },
        { "top-level array within the limit", "[1]", error(Case::InvalidBody) },
        { "size beats unknown key", bodyOfCompactSize(262145, R"("zz":1)"), error(Case::PayloadTooLarge) },
        { "text over four times the limit is too large unread", "{" + std::string(4 * 262144, ' '), error(Case::PayloadTooLarge) },
        { "unknown key beats bad schema version", Body { .schemaVersion = "2", .extra = R"("zz":1)" }.text(), unknownKey("zz") },
        { "smallest unknown key is reported", Body { .extra = R"("zeta":1,"alpha":2,"beta":3)" }.text(), unknownKey("alpha") },
        { "keys sort by bytes", Body { .extra = R"("alpha":1,"Zed":2)" }.text(), unknownKey("Zed") },
        { "missing arguments is a schema fault", Body { .arguments = "" }.text(), error(Case::InvalidSchema) },
        { "missing key beats bad request id", Body { .requestId = R"("a.b")", .arguments = "" }.text(), error(Case::InvalidSchema) },
        { "bad schema version beats bad request id", Body { .schemaVersion = "true", .requestId = R"("")" }.text(), error(Case::InvalidSchema) },
        { "bad request id beats unknown method", Body { .requestId = R"("a b")", .method = R"("nope")" }.text(), error(Case::InvalidRequestID) },
        { "unknown method beats bad arguments", Body { .method = R"("nope")", .arguments = "{}" }.text(), error(Case::UnknownMethod) },
        { "argument count beats a bad argument", withArguments("[" + tooDeep + "," + list("0", 16) + "]"), error(Case::InvalidArguments) },
        { "first failing argument decides", withArguments("[" + tooDeep + "," + tooLong + "]"), error(Case::ValueTooDeep) },
        { "first failing element decides", withArguments("[[" + tooLong + "," + tooDeep + "]]"), error(Case::ValueTooLarge) },
        { "element count beats a bad element", withArguments("[[" + tooDeep + "," + list("0", 128) + "]]"), error(Case::ValueTooLarge) },
        { "member count beats a bad member", withArguments(R"([{"a":)" + tooDeep + "," + objectOf(128).substr(1) + "]"), error(Case::ValueTooLarge) },
        { "smallest failing key decides (large)", withArguments(R"([{"b":)" + tooDeep + R"(,"a":)" + tooLong + "}]"), error(Case::ValueTooLarge) },
        { "smallest failing key decides (deep)", withArguments(R"([{"b":)" + tooLong + R"(,"a":)" + tooDeep + "}]"), error(Case::ValueTooDeep) },
        { "a long key fails before its value", withArguments("[{" + jsonString(std::string(129, 'a')) + ":" + tooDeep + "}]"), error(Case::ValueTooLarge) },
        { "an element too deep fails whatever its type", withArguments("[" + nested(9, "null") + "]"), error(Case::ValueTooDeep) },
        { "depth beats element count", withArguments("[" + nested(10, list("0", 129)) + "]"), error(Case::ValueTooDeep) },
    });
}

TEST(BridgeRequest, LimitsHoldExactlyAtTheBoundary)
{
    std::string twoByteString = repeat(e, 16384);
    expectDecodes({
        { "empty arguments", withArguments("[]"), std::nullopt },
        { "16 arguments", withArguments("[" + list("0", 16) + "]"), std::nullopt },
        { "17 arguments", withArguments("[" + list("0", 17) + "]"), error(Case::InvalidArguments) },
        { "string as arguments", withArguments(R"("[]")"), error(Case::InvalidArguments) },
        { "innermost value at depth 8", withArguments("[" + nested(8, "1") + "]"), std::nullopt },
        { "innermost value at depth 9", withArguments("[" + nested(9, "1") + "]"), error(Case::ValueTooDeep) },
        { "empty array at depth 8", withArguments("[" + nested(9, "") + "]"), std::nullopt },
        { "empty array at depth 9", withArguments("[" + nested(10, "") + "]"), error(Case::ValueTooDeep) },
        { "objects to depth 8", withArguments("[" + repeat(R"({"a":)", 8) + "1" + repeat("}", 8) + "]"), std::nullopt },
        { "objects to depth 9", withArguments("[" + repeat(R"({"a":)", 9) + "1" + repeat("}", 9) + "]"), error(Case::ValueTooDeep) },
        { "128 elements", withArguments("[[" + list("0", 128) + "]]"), std::nullopt },
        { "129 elements", withArguments("[[" + list("0", 129) + "]]"), error(Case::ValueTooLarge) },
        { "128 members", withArguments("[" + objectOf(128) + "]"), std::nullopt },
        { "129 members", withArguments("[" + objectOf(129) + "]"), error(Case::ValueTooLarge) },
        { "128 members and a duplicate", withArguments("[" + objectOf(128).substr(0, objectOf(128).size() - 1) + R"(,"k0":1})" + "]"), std::nullopt },
        { "128-byte key", withArguments("[{" + jsonString(std::string(128, 'k')) + ":1}]"), std::nullopt },
        { "129-byte key", withArguments("[{" + jsonString(std::string(129, 'k')) + ":1}]"), error(Case::ValueTooLarge) },
        { "128-byte key of two-byte characters", withArguments("[{" + jsonString(repeat(e, 64)) + ":1}]"), std::nullopt },
        { "129-byte key of two-byte characters", withArguments("[{" + jsonString(repeat(e, 64) + "k") + ":1}]"), error(Case::ValueTooLarge) },
        { "32768-byte string", withArguments("[" + jsonString(std::string(32768, 's')) + "]"), std::nullopt },
        { "32769-byte string", withArguments("[" + jsonString(std::string(32769, 's')) + "]"), error(Case::ValueTooLarge) },
        { "32768 bytes of two-byte characters", withArguments("[" + jsonString(twoByteString) + "]"), std::nullopt },
        { "32769 bytes with two-byte characters", withArguments("[" + jsonString(twoByteString + "s") + "]"), error(Case::ValueTooLarge) },
        { "32768 bytes written as escapes", withArguments("[" + jsonString(repeat("\\u00e9", 16384)) + "]"), std::nullopt },
        { "string limit applies in objects", withArguments(R"([{"a":)" + jsonString(std::string(32769, 's')) + "}]"), error(Case::ValueTooLarge) },
        { "64-byte request id", Body { .requestId = jsonString(idChars64) }.text(), std::nullopt },
        { "65-byte request id", Body { .requestId = jsonString(idChars64 + "a") }.text(), error(Case::InvalidRequestID) },
        { "empty request id", Body { .requestId = R"("")" }.text(), error(Case::InvalidRequestID) },
        { "request id with a dot", Body { .requestId = R"("a.b")" }.text(), error(Case::InvalidRequestID) },
        { "request id with a non-ASCII letter", Body { .requestId = jsonString(e) }.text(), error(Case::InvalidRequestID) },
        { "numeric request id", Body { .requestId = "7" }.text(), error(Case::InvalidRequestID) },
        { "body of exactly 262144 compact bytes", bodyOfCompactSize(262144), std::nullopt },
        { "byte order mark before the body", "\xef\xbb\xbf" + Body {}.text(), std::nullopt },
        { "body of 262145 compact bytes", bodyOfCompactSize(262145), error(Case::PayloadTooLarge) },
    });
}

TEST(BridgeRequest, BodyLimitCountsTheCompactForm)
{
    auto padded = nlohmann::json::parse(bodyOfCompactSize(262144)).dump(8);
    ASSERT_GT(padded.size(), 262144u);
    // Escapes that the compact form writes shorter: "\u00e9" is 6 bytes as written, 2 compact.
    std::string escaped = Body { .arguments = "[" + jsonString(repeat("\\u00e9", 16384)) + "," + filler(262144 - 32768 - 200) + "]" }.text();
    ASSERT_GT(escaped.size(), 262144u);
    ASSERT_LE(nlohmann::json::parse(escaped).dump().size(), 262144u);
    // "\n" is 2 bytes as written and compact, a raw "/" stays 1 byte.
    std::string slashes = Body { .arguments = "[" + list(jsonString(repeat("/", 30000)), 8) + "," + jsonString(repeat("/", 21000)) + "]" }.text();
    ASSERT_LE(nlohmann::json::parse(slashes).dump().size(), 262144u);
    expectDecodes({
        { "whitespace-padded body whose compact form fits", padded, std::nullopt },
        { "escapes shorter in compact form", escaped, std::nullopt },
        { "slashes are not escaped", slashes, std::nullopt },
        { "escaped newlines count two bytes", Body { .arguments = "[" + list(jsonString(repeat("\\n", 16384)), 8) + "]" }.text(), error(Case::PayloadTooLarge) },
    });
}

TEST(BridgeRequest, SchemaVersionMustBeTheNumberOne)
{
    std::vector<DecodeCase> cases;
    for (const char* accepted : { "1", "1.0", "1e0", "10e-1", "1.00000000000000001" })
        cases.push_back({ accepted, Body { .schemaVersion = accepted }.text(), std::nullopt });
    for (const char* refused : { "1.5", "\"1\"", "true", "2", "0", "-1", "null", "[1]", "{}", "1e400" })
        cases.push_back({ refused, Body { .schemaVersion = refused }.text(), error(Case::InvalidSchema) });
    expectDecodes(cases);
}

TEST(BridgeRequest, MethodMatchesAWireStringExactly)
{
    for (BridgeMethod method : allBridgeMethods()) {
        auto result = BridgeRequest::decode(Body { .method = jsonString(std::string(wireString(method))) }.text());
        ASSERT_TRUE(result.hasValue()) << wireString(method);
        EXPECT_EQ(result->method(), method);
    }
    std::vector<DecodeCase> cases;
    for (const char* refused : { R"("GetAppInfo")", R"("api.Request")", R"("")", "5" })
        cases.push_back({ refused, Body { .method = refused }.text(), error(Case::UnknownMethod) });
    expectDecodes(cases);
}

TEST(BridgeRequest, MalformedTextIsAnInvalidBody)
{
    std::string valid = Body {}.text();
    std::vector<std::string> texts = {
        "", " ", "{", "}", "null", "true", "1", R"("text")",
        valid.substr(0, valid.size() - 1), valid + "x", valid + "}", valid + valid,
        Body { .arguments = "[1,]" }.text(), Body { .arguments = "['a']" }.text(),
        Body { .arguments = "[/* note */]" }.text(), Body { .arguments = "[NaN]" }.text(), Body { .arguments = "[Infinity]" }.text(), Body { .arguments = "[1e400e1]" }.text(),
        Body { .arguments = "[\"\xff\"]" }.text(), Body { .arguments = "[\"\xc3\"]" }.text(), Body { .extra = "\"\xed\xa0\x80\":1" }.text(),
        Body { .arguments = std::string("[\"a\0b\"]", 7) }.text(), std::string("\0", 1) + valid, valid + std::string("\0", 1),
        Body { .arguments = R"(["\ud800"])" }.text(), Body { .arguments = R"(["\x41"])" }.text(),
        repeat("[", 100000), repeat("{\"a\":", 100000), repeat("\xef\xbb\xbf", 2) + valid,
    };
    std::vector<DecodeCase> cases;
    for (std::size_t i = 0; i < texts.size(); ++i)
        cases.push_back({ "text " + std::to_string(i), texts[i], error(Case::InvalidBody) });
    expectDecodes(cases);
}

TEST(BridgeRequest, DeepNestingNeverExhaustsTheStack)
{
    std::string deepArrays = nested(100000, "");
    auto deepObjects = [](std::size_t levels) { return repeat(R"({"a":)", levels) + "1" + repeat("}", levels); };
    expectDecodes({
        { "deep argument", withArguments("[" + deepArrays + "]"), error(Case::ValueTooDeep) },
        { "deep object argument", withArguments("[" + deepObjects(40000) + "]"), error(Case::ValueTooDeep) },
        { "deep value under an unknown key", Body { .extra = "\"zz\":" + deepObjects(40000) }.text(), unknownKey("zz") },
        { "deep value over the body limit", Body { .extra = "\"zz\":" + deepObjects(100000) }.text(), error(Case::PayloadTooLarge) },
        { "deep top-level array", deepArrays, error(Case::InvalidBody) },
    });
}

TEST(BridgeRequest, NumbersBeyondTheDoubleRangeAreInvalidValues)
{
    std::string huge = "1" + std::string(400, '0');
    auto decoded = BridgeRequest::decode(withArguments("[1e-400,-0," + huge.substr(0, 300) + "]"));
    ASSERT_TRUE(decoded.hasValue());
    EXPECT_EQ(decoded->arguments()[0], BridgeValue::number(0));
    expectDecodes({
        { "argument", withArguments("[1e400]"), error(Case::InvalidValue) },
        { "negative argument", withArguments("[-1E+400]"), error(Case::InvalidValue) },
        { "400-digit integer", withArguments("[" + huge + "]"), error(Case::InvalidValue) },
        { "nested", withArguments(R"([{"a":[2,1e400]}])"), error(Case::InvalidValue) },
        { "after a deeper fault", withArguments("[" + nested(9, "0") + ",1e400]"), error(Case::ValueTooDeep) },
        { "under an unknown key", Body { .extra = R"("zz":1e400)" }.text(), unknownKey("zz") },
        { "in a replaced duplicate", withArguments(R"([{"a":1e400,"a":1}])"), std::nullopt },
        { "beside the largest finite numbers", withArguments(R"([1e308,-1e308,{"a":1e400,"a":1}])"), std::nullopt },
        { "inside a string stays text", withArguments(R"(["1e400"])"), std::nullopt },
        { "with a syntax error later", withArguments("[1e400]") + ",", error(Case::InvalidBody) },
    });
}

TEST(BridgeRequest, DuplicateKeysKeepTheLastMember)
{
    expectDecodes({
        { "object then array", R"({"arguments":{},"schemaVersion":1,"requestId":"r","method":"getAppInfo","arguments":[]})", std::nullopt },
        { "array then object", R"({"arguments":[],"schemaVersion":1,"requestId":"r","method":"getAppInfo","arguments":{}})", error(Case::InvalidArguments) },
        { "bad version replaced", R"({"schemaVersion":2,"requestId":"r","method":"getAppInfo","arguments":[],"schemaVersion":1})", std::nullopt },
        { "good version replaced", Body { .extra = R"("schemaVersion":2)" }.text(), error(Case::InvalidSchema) },
        { "method replaced", Body { .extra = R"("method":"nope")" }.text(), error(Case::UnknownMethod) },
        { "deep member replaced", withArguments(R"([{"a":)" + nested(12, "") + R"(,"a":1}])"), std::nullopt },
        { "member replaced by a deep one", withArguments(R"([{"a":1,"a":)" + nested(12, "") + "}]"), error(Case::ValueTooDeep) },
    });
    auto result = BridgeRequest::decode(withArguments(R"([{"b":0,"a":"first","a":"second"}])"));
    ASSERT_TRUE(result.hasValue());
    EXPECT_EQ(result->arguments()[0], BridgeValue::object({ { "a", BridgeValue::string("second") }, { "b", BridgeValue::number(0) } }));
}

// Replaced members do not count towards the body size; building the arguments has to
// start over once the first attempt ran past the limit.
TEST(BridgeRequest, ReplacedMembersDoNotCountTowardsTheBodyLimit)
{
    std::string big = "[" + filler(280000) + "]";
    expectDecodes({
        { "replaced large member", withArguments(R"([{"a":)" + big + R"(,"a":[1,2]}])"), std::nullopt },
        { "replaced large argument list", R"({"arguments":)" + big + R"(,"schemaVersion":1,"requestId":"r","method":"getAppInfo","arguments":[]})", std::nullopt },
        { "large member kept", withArguments(R"([{"a":[1,2],"a":)" + big + "}]"), error(Case::PayloadTooLarge) },
        { "replaced then failing", withArguments(R"([{"a":)" + big + R"(,"a":[1,2]},)" + nested(10, "") + "]"), error(Case::ValueTooDeep) },
        { "replaced then too many arguments", withArguments(R"([{"a":)" + big + R"(,"a":1},)" + list("0", 16) + "]"), error(Case::InvalidArguments) },
    });
    auto result = BridgeRequest::decode(withArguments(R"(["x",{"a":)" + big + R"(,"b":true,"a":[1,"two"]}])"));
    ASSERT_TRUE(result.hasValue());
    BridgeValue expected = BridgeValue::object({
        { "a", BridgeValue::array({ BridgeValue::number(1), BridgeValue::string("two") }) },
        { "b", BridgeValue::boolean(true) },
    });
    EXPECT_EQ(result->arguments(), (std::vector<BridgeValue> { BridgeValue::string("x"), expected }));
}

TEST(BridgeRequest, EscapedTextArrivesDecoded)
{
    auto result = BridgeRequest::decode(withArguments(R"(["a\u0000b","\/\"\\\n\u00e9\ud83d\ude00"])"));
    ASSERT_TRUE(result.hasValue());
    EXPECT_EQ(result->arguments()[0].asString(), std::string("a\0b", 3));
    EXPECT_EQ(result->arguments()[1].asString(), "/\"\\\n\xc3\xa9\xf0\x9f\x98\x80");
}

// The body limit applies to the compact form as nlohmann::json writes it: its number forms
// (a number beyond the double range as null), its escapes, duplicates collapsed; whether
// a value is converted (under "arguments") or only measured (under "zz").
TEST(BridgeRequest, BodyLimitCountsTheSerialisersCompactForm)
{
    const std::vector<std::string> values = {
        R"({"a" : [ 1 , -2 , 3.25 , true , false , null ] })",
        R"([0.1, 1e20, 1E+2, -0, -0.0, 5e-324, 1.7976931348623157e308, 4e23, 123456789012345678901234567890, 1e400])",
        R"([18446744073709551615, 18446744073709551616, -9223372036854775808, -9223372036854775809, 1e-7])",
        R"(["\u0001\b\f\n\r\t\"\\\/", "\u007f", "\u00e9\u20ac\ud83d\ude00", "tab\tend", "é"])",
        R"({"b":1,"a":2,"b":{"x":1,"x":[1,2,3]},"a":"replaced"})",
        R"({"k":{"k":{"k":[]}},"k":{}})",
        "{\n  \"deep\": [[[[{}]]], {}, [], \"\"]\n}\n",
        objectOf(40, "[1,2]"),
    };
    for (const auto& value : values) {
        auto body = [&](std::size_t padding) {
            return Body { .arguments = "[" + value + "]", .extra = R"("zz":[)" + value + "," + jsonString(std::string(padding, 'x')) + "]" }.text();
        };
        std::string measurable = body(0);
        for (std::size_t at; (at = measurable.find("1e400")) != std::string::npos;)
            measurable.replace(at, 5, "null");
        std::size_t size = nlohmann::json::parse(measurable).dump().size();
        expectDecodes({
            { value + " at the limit", body(262144 - size), unknownKey("zz") },
            { value + " over the limit", body(262145 - size), error(Case::PayloadTooLarge) },
        });
    }
}

} // namespace
} // namespace quorin
