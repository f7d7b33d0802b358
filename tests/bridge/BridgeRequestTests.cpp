#include "bridge/BridgeRequest.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace quorin {

static void PrintTo(const BridgeRequestError& error, std::ostream* out) { *out << "case " << static_cast<int>(error.errorCase) << " " << error.key; }
inline void PrintTo(const BridgeValue& value, std::ostream* out) { *out << value.jsonText(); }

namespace {

using Case = BridgeRequestError::Case;
constexpr auto error = &BridgeRequestError::of;
constexpr auto unknownKey = &BridgeRequestError::unknownKey;
const std::optional<BridgeRequestError> parses;

// Members of a request body as raw JSON text; an empty field is left out, `extra` is appended raw.
struct Body {
    std::string schemaVersion = "1", requestId = R"("r")", method = R"("getAppInfo")", arguments = "[]", extra = {};

    std::string text() const
    {
        auto named = [](std::string name, const std::string& value) { return value.empty() ? value : "\"" + name + "\":" + value; };
        std::string text;
        for (const std::string& member : { named("schemaVersion", schemaVersion), named("requestId", requestId), named("method", method), named("arguments", arguments), extra })
            if (!member.empty())
                text += (text.empty() ? "" : ",") + member;
        return "{" + text + "}";
    }
};

std::string repeat(const std::string& unit, std::size_t count) { std::string text; while (count--) text += unit; return text; }

std::string jsonString(const std::string& text) { return "\"" + text + "\""; }
std::string nested(std::size_t levels, const std::string& inner) { return repeat("[", levels) + inner + repeat("]", levels); }
std::string list(const std::string& element, std::size_t count) { return repeat(element + ",", count - 1) + element; }
std::string withArguments(const std::string& arguments) { return Body { .arguments = arguments }.text(); }
std::string members(std::size_t count) { std::string text = "\"k0\":0"; for (std::size_t i = 1; i < count; ++i) text += ",\"k" + std::to_string(i) + "\":0"; return text; }

// `bytes` of content as nine strings (26 bytes of quotes and commas); a request of exactly `size` compact bytes plus `extra`.
std::string filler(std::size_t bytes) { return jsonString(std::string(bytes / 9 + bytes % 9, 'x')) + repeat("," + jsonString(std::string(bytes / 9, 'x')), 8); }
std::string bodyOfCompactSize(std::size_t size, const std::string& extra = {}) { return Body { .arguments = "[" + filler(size - Body { .extra = extra }.text().size() - 26) + "]", .extra = extra }.text(); }

struct DecodeCase { std::string name, text; std::optional<BridgeRequestError> expected; };

void expectDecodes(const std::vector<DecodeCase>& cases)
{
    for (const auto& [name, text, expected] : cases) {
        auto result = BridgeRequest::decode(text);
        EXPECT_EQ(result.isError() ? std::optional(result.error()) : std::nullopt, expected) << name;
    }
}

const std::string e = "\xc3\xa9"; // "é", two UTF-8 bytes

TEST(BridgeRequest, DecodesAWellFormedRequest)
{
    auto result = BridgeRequest::decode(R"({"schemaVersion":1,"requestId":"linux_1733_7","method":"preferences.setPlayBackgroundTheme",)"
                                        R"("arguments":["server-1",{"url":"replaced","n":[1.5,true,null,-7,18446744073709551615],"url":"https://cdn/x.png"},"a\u0000\/\"\\\n\u00e9\ud83d\ude00"]})");
    ASSERT_TRUE(result.hasValue());
    EXPECT_EQ(result->requestID(), "linux_1733_7");
    EXPECT_EQ(result->method(), BridgeMethod::PreferencesSetPlayBackgroundTheme);
    auto numbers = BridgeValue::array({ BridgeValue::number(1.5), BridgeValue::boolean(true), BridgeValue::null(), BridgeValue::number(-7), BridgeValue::number(18446744073709551615.0) });
    EXPECT_EQ(result->arguments(), (std::vector<BridgeValue> { BridgeValue::string("server-1"), BridgeValue::object({ { "n", numbers }, { "url", BridgeValue::string("https://cdn/x.png") } }),
                                               BridgeValue::string(std::string("a\0/\"\\\n\xc3\xa9\xf0\x9f\x98\x80", 12)) }));
}

// Every refusal reaches the page as BRIDGE_REQUEST_INVALID; these rows hold the rules no other test reaches.
TEST(BridgeRequest, RefusesOversizedIncompleteAndDeepBodies)
{
    expectDecodes({
        { "body of 262145 compact bytes: size beats unknown key", bodyOfCompactSize(262145, R"("zz":1)"), error(Case::PayloadTooLarge) },
        { "text over four times the limit is too large unread", "{" + std::string(4 * 262144, ' '), error(Case::PayloadTooLarge) },
        { "missing key beats bad request id", Body { .requestId = R"("a.b")", .arguments = "" }.text(), error(Case::InvalidSchema) },
        { "bad request id beats unknown method", Body { .requestId = R"("a b")", .method = R"("nope")" }.text(), error(Case::InvalidRequestID) },
        { "129 members, the first bad: the count decides", withArguments(R"([{"a":)" + nested(10, "1") + "," + members(128) + "}]"), error(Case::ValueTooLarge) },
        { "deep value under an unknown key", Body { .extra = "\"zz\":" + repeat(R"({"a":)", 40000) + "1" + repeat("}", 40000) }.text(), unknownKey("zz") },
        { "deep top-level array", nested(100000, ""), error(Case::InvalidBody) },
    });
}

TEST(BridgeRequest, LimitsHoldExactlyAtTheBoundary)
{
    for (std::size_t size : { 262144u, 262145u }) // the boundary bodies are the size they claim
        ASSERT_EQ(nlohmann::json::parse(bodyOfCompactSize(size, R"("zz":1)")).dump().size(), size);
    std::string twoByteString = repeat(e, 16384);
    expectDecodes({
        { "16 arguments", withArguments("[" + list("0", 16) + "]"), parses },
        { "innermost value at depth 8", withArguments("[" + nested(8, "1") + "]"), parses },
        { "innermost value at depth 9", withArguments("[" + nested(9, "1") + "]"), error(Case::ValueTooDeep) },
        { "objects to depth 8", withArguments("[" + repeat(R"({"a":)", 8) + "1" + repeat("}", 8) + "]"), parses },
        { "objects to depth 9", withArguments("[" + repeat(R"({"a":)", 9) + "1" + repeat("}", 9) + "]"), error(Case::ValueTooDeep) },
        { "128 elements", withArguments("[[" + list("0", 128) + "]]"), parses },
        { "129 elements", withArguments("[[" + list("0", 129) + "]]"), error(Case::ValueTooLarge) },
        { "128 members and a duplicate", withArguments("[{" + members(128) + R"(,"k0":1}])"), parses },
        { "128-byte key of two-byte characters", withArguments("[{" + jsonString(repeat(e, 64)) + ":1}]"), parses },
        { "129-byte key of two-byte characters", withArguments("[{" + jsonString(repeat(e, 64) + "k") + ":1}]"), error(Case::ValueTooLarge) },
        { "32768 bytes of two-byte characters", withArguments("[" + jsonString(twoByteString) + "]"), parses },
        { "32769 bytes with two-byte characters", withArguments("[" + jsonString(twoByteString + "s") + "]"), error(Case::ValueTooLarge) },
        { "32768 bytes written as escapes", withArguments("[" + jsonString(repeat("\\u00e9", 16384)) + "]"), parses },
        { "64-byte request id", Body { .requestId = jsonString(repeat("aZ09_-", 10) + "abcd") }.text(), parses },
        { "65-byte request id", Body { .requestId = jsonString(repeat("aZ09_-", 10) + "abcde") }.text(), error(Case::InvalidRequestID) },
        { "empty request id", Body { .requestId = R"("")" }.text(), error(Case::InvalidRequestID) },
        { "numeric request id", Body { .requestId = "7" }.text(), error(Case::InvalidRequestID) },
        { "numeric method", Body { .method = "5" }.text(), error(Case::UnknownMethod) },
        { "body of exactly 262144 compact bytes", bodyOfCompactSize(262144), parses },
        { "byte order mark before the body", "\xef\xbb\xbf" + Body {}.text(), parses },
        { "schema version 1 written with more digits than a double holds", Body { .schemaVersion = "1.00000000000000001" }.text(), parses },
        { "schema version 1.5", Body { .schemaVersion = "1.5" }.text(), error(Case::InvalidSchema) },
        { "schema version as a string", Body { .schemaVersion = "\"1\"" }.text(), error(Case::InvalidSchema) },
    });
}

TEST(BridgeRequest, MalformedTextIsAnInvalidBody)
{
    std::string valid = Body {}.text();
    std::vector<std::string> texts = { "", "}", valid.substr(0, valid.size() - 1), valid + valid, valid + std::string("\0", 1), repeat("[", 100000), repeat("{\"a\":", 100000),
        repeat("\xef\xbb\xbf", 2) + valid, Body { .extra = "\"\xed\xa0\x80\":1" }.text() };
    for (const auto& arguments : std::initializer_list<std::string> { "[1,]", "['a']", "[/* note */]", "[NaN]", "[1e400e1]", "[\"\xff\"]", R"(["\ud800"])", R"(["\x41"])", std::string("[\"a\0b\"]", 7) })
        texts.push_back(withArguments(arguments));
    for (const auto& text : texts)
        expectDecodes({ { "text " + text.substr(0, 40), text, error(Case::InvalidBody) } });
}

TEST(BridgeRequest, NumbersBeyondTheDoubleRangeAreInvalidValues)
{
    expectDecodes({
        { "underflow, negative zero and a 300-digit integer", withArguments("[1e-400,-0,1" + std::string(299, '0') + "]"), parses },
        { "argument beyond the range", withArguments("[-1E+400]"), error(Case::InvalidValue) },
        { "beside the largest finite numbers, in a replaced duplicate", withArguments(R"([1e308,-1e308,{"a":1e400,"a":1}])"), parses },
    });
}

// Replaced members are neither checked nor counted towards the body limit.
TEST(BridgeRequest, DuplicateKeysKeepTheLastMember)
{
    std::string big = "[" + filler(280000) + "]";
    expectDecodes({
        { "object then array", R"({"arguments":{},"schemaVersion":1,"requestId":"r","method":"getAppInfo","arguments":[]})", parses },
        { "good version replaced", Body { .extra = R"("schemaVersion":2)" }.text(), error(Case::InvalidSchema) },
        { "deep member replaced", withArguments(R"([{"a":)" + nested(12, "") + R"(,"a":1}])"), parses },
        { "member replaced by a deep one", withArguments(R"([{"a":1,"a":)" + nested(12, "") + "}]"), error(Case::ValueTooDeep) },
        { "replaced large argument list", R"({"arguments":)" + big + R"(,"schemaVersion":1,"requestId":"r","method":"getAppInfo","arguments":[]})", parses },
        { "replaced then too many arguments", withArguments(R"([{"a":)" + big + R"(,"a":1},)" + list("0", 16) + "]"), error(Case::InvalidArguments) },
    });
}

} // namespace
} // namespace quorin
