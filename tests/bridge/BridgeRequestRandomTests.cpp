#include "BridgeMessageTestSupport.h"
#include "bridge/BridgeRequest.h"

#include <gtest/gtest.h>

#include <array>
#include <iostream>
#include <map>
#include <random>
#include <string>
#include <vector>

// Random request bodies, decoded by the decoder and by the plain reference over
// nlohmann's tree; both must agree on every body. Seeds are fixed, so a failure repeats.

namespace quorin {
namespace {

using test::jsonString;
using test::repeat;

class RandomBodies {
public:
    explicit RandomBodies(std::uint32_t seed)
        : m_random(seed)
    {
    }

    std::string request()
    {
        std::vector<std::string> members;
        addMember(members, "schemaVersion", [&] { return chance(90) ? "1" : pick({ "1.0", "1e0", "2", "1.5", "\"1\"", "true", "null", "[1]" }); });
        addMember(members, "requestId", [&] {
            return chance(90) ? pick({ "\"r\"", "\"linux_1733_9\"" }) : pick({ "\"\"", "\"a.b\"", "7", "\"a b\"" });
        });
        addMember(members, "method", [&] {
            return chance(80) ? jsonString(std::string(wireString(allBridgeMethods()[below(bridgeMethodCount)]))) : pick({ "\"GetAppInfo\"", "\"\"", "1" });
        });
        addMember(members, "arguments", [&] { return chance(95) ? arguments() : pick({ "{}", "\"[]\"", "null" }); });
        if (chance(8))
            members.push_back(jsonString(pick({ "zz", "Zed", "alpha", "requestID" })) + ":" + value(0));
        std::shuffle(members.begin(), members.end(), m_random);
        return "{" + joined(members) + "}";
    }

private:
    template<typename Make>
    void addMember(std::vector<std::string>& members, const char* name, Make make)
    {
        int copies = chance(96) ? 1 : pick({ 0, 2 });
        for (int i = 0; i < copies; ++i)
            members.push_back(jsonString(name) + space() + ":" + space() + make());
    }

    std::string arguments()
    {
        std::size_t count = chance(5) ? pick({ 16, 17 }) : below(4);
        std::vector<std::string> values;
        for (std::size_t i = 0; i < count; ++i)
            values.push_back(value(0));
        if (chance(2)) { // bodies around the size limit
            for (std::size_t n = 7 + below(3); n > 0; --n)
                values.push_back(jsonString(std::string(29000 + below(3769), 'x')));
        }
        return "[" + joined(values) + "]";
    }

    std::string value(int depth)
    {
        if (chance(4)) // a narrow chain around the depth limit
            return test::nested(7 + below(4), value(11));
        std::size_t roll = below(100);
        if (depth < 11 && roll < 18)
            return array(depth);
        if (depth < 11 && roll < 36)
            return object(depth);
        if (roll < 60)
            return string();
        if (roll < 85)
            return pick({ "0", "-0", "1", "-3", "1.5", "1e2", "2E-3", "0.1", "-0.0", "12345678901234567890", "1e-400", "4e23", "1e20", "-9223372036854775809", "123456789012345678901234567890" });
        return pick({ "true", "false", "null" });
    }

    std::string array(int depth)
    {
        std::vector<std::string> elements;
        if (chance(3)) {
            elements.assign(pick({ 128, 129 }), "0");
        } else {
            for (std::size_t n = below(4); n > 0; --n)
                elements.push_back(value(depth + 1));
        }
        return "[" + joined(elements) + "]";
    }

    std::string object(int depth)
    {
        std::vector<std::string> members;
        if (chance(3)) {
            for (int i = pick({ 128, 129 }); i > 0; --i)
                members.push_back("\"k" + std::to_string(i) + "\":0");
        } else {
            for (std::size_t n = below(5); n > 0; --n)
                members.push_back(key() + ":" + space() + value(depth + 1));
        }
        return "{" + joined(members) + "}";
    }

    // Few distinct keys, so duplicates are common; "\u0061" is "a" once decoded.
    std::string key()
    {
        if (chance(3))
            return jsonString(chance(50) ? std::string(pick({ 128, 129 }), 'k') : repeat("\xc3\xa9", 64) + pick({ "", "k" }));
        return jsonString(pick({ "a", "b", "B", "\xc3\xa9", "a b", "\\u0061", "/" }));
    }

    std::string string()
    {
        if (chance(2))
            return jsonString(chance(50) ? std::string(pick({ 32768, 32769 }), 's') : repeat("\xe2\x82\xac", 10922) + pick({ "ab", "abc" }));
        std::string text;
        for (std::size_t n = below(6); n > 0; --n)
            text += pick({ "a", "Z", "/", "\\n", "\\\"", "\\\\", "\\u00e9", "\xc3\xa9", "\\u0001", "\\ud83d\\ude00", " " });
        return jsonString(text);
    }

    std::string joined(const std::vector<std::string>& parts)
    {
        std::string text;
        for (const auto& part : parts)
            text += (text.empty() ? "" : "," + space()) + part;
        return text;
    }

    std::string space() { return chance(85) ? "" : pick({ " ", "\n", "\t", "\r\n  " }); }
    std::size_t below(std::size_t bound) { return std::uniform_int_distribution<std::size_t>(0, bound - 1)(m_random); }
    bool chance(std::size_t percent) { return below(100) < percent; }
    template<typename T>
    T pick(std::initializer_list<T> options) { return options.begin()[below(options.size())]; }

    std::mt19937 m_random;
};

std::string shortened(const std::string& text)
{
    return text.size() <= 400 ? text : text.substr(0, 400) + "... (" + std::to_string(text.size()) + " bytes)";
}

// Decodes with both decoders; returns the reference outcome's case name ("ok" for a
// request), or nothing when the reference cannot judge the text.
std::optional<std::string> expectSameOutcome(const std::string& text)
{
    auto actual = BridgeRequest::decode(text);
    auto expected = test::referenceDecode(text);
    if (!expected)
        return std::nullopt;
    if (expected->isError()) {
        EXPECT_TRUE(actual.isError()) << shortened(text);
        if (actual.isError()) {
            EXPECT_EQ(actual.error(), expected->error()) << shortened(text);
        }
        return caseName(expected->error().errorCase);
    }
    EXPECT_TRUE(actual.hasValue()) << shortened(text) << " failed with " << ::testing::PrintToString(actual.error());
    if (actual.hasValue()) {
        EXPECT_TRUE(*actual == expected->value()) << shortened(text);
    }
    return "ok";
}

TEST(BridgeRequestRandom, DecoderAgreesWithTheReference)
{
    RandomBodies bodies(20241206);
    std::map<std::string, int> outcomes;
    for (int i = 0; i < 400; ++i) {
        std::string text = bodies.request();
        if (auto outcome = expectSameOutcome(text))
            ++outcomes[*outcome];
        if (::testing::Test::HasFailure())
            return;
    }
    for (const auto& [outcome, count] : outcomes)
        std::cout << outcome << ": " << count << "\n";
    // The generator must reach both success and the value-level failures.
    for (const char* outcome : { "ok", "unknownKey", "invalidSchema", "invalidArguments", "valueTooDeep", "valueTooLarge", "payloadTooLarge" })
        EXPECT_GT(outcomes[outcome], 0) << outcome;
    EXPECT_GT(outcomes["ok"], 150);
}

// Random bodies padded to exactly the body limit and to one byte more: the compact size
// must agree with the serialiser's to the byte.
TEST(BridgeRequestRandom, BodyLimitAgreesWithTheSerialiserToTheByte)
{
    RandomBodies bodies(7);
    int judged = 0;
    for (int i = 0; i < 60; ++i) {
        std::string text = bodies.request();
        auto tree = nlohmann::json::parse(text, nullptr, false);
        if (tree.is_discarded() || tree.empty())
            continue;
        std::size_t size = tree.dump().size() + 7; // the padding member "~":"" with its comma
        if (size > BridgeRequest::maximumBodyBytes)
            continue;
        for (std::size_t target : { BridgeRequest::maximumBodyBytes, BridgeRequest::maximumBodyBytes + 1 }) {
            if (expectSameOutcome(R"({"~":)" + jsonString(std::string(target - size, 'p')) + "," + text.substr(1)))
                ++judged;
            if (::testing::Test::HasFailure())
                return;
        }
    }
    EXPECT_GT(judged, 80);
}

// Damaged bodies: the decoder must return (never crash or throw) and still agree with the
// reference wherever the reference can judge.
TEST(BridgeRequestRandom, DamagedBodiesAreJudgedLikeTheReference)
{
    RandomBodies bodies(99);
    std::mt19937 random(5);
    auto below = [&](std::size_t bound) { return std::uniform_int_distribution<std::size_t>(0, bound - 1)(random); };
    static constexpr char byteChoices[] = "{}[],:\"\\0189-+.eEtfnul \n\x00\x7f\x80\xc3\xff";
    constexpr std::string_view bytes(byteChoices, sizeof byteChoices - 1);
    int judged = 0;
    for (int i = 0; i < 1500; ++i) {
        std::string text = bodies.request();
        if (text.size() > 4000)
            continue;
        for (std::size_t edits = 1 + below(3); edits > 0 && !text.empty(); --edits) {
            std::size_t at = below(text.size());
            switch (below(5)) {
            case 0:
                text[at] = bytes[below(bytes.size())];
                break;
            case 1:
                text.erase(at, 1 + below(3));
                break;
            case 2:
                text.insert(at, 1, bytes[below(bytes.size())]);
                break;
            case 3:
                text.insert(at, text.substr(below(text.size()), below(8)));
                break;
            default:
                text.resize(at);
                break;
            }
        }
        if (expectSameOutcome(text))
            ++judged;
        if (::testing::Test::HasFailure())
            return;
    }
    EXPECT_GT(judged, 700);
}

} // namespace
} // namespace quorin
