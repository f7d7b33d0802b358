#include "core/Uuid.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <set>

namespace quorin {
namespace {

bool isHexDigit(char c, bool upper)
{
    return (c >= '0' && c <= '9') || (upper ? (c >= 'A' && c <= 'F') : (c >= 'a' && c <= 'f'));
}

// 8-4-4-4-12 hex digits of one case.
bool hasStandardLayout(const std::string& text, bool upper)
{
    if (text.size() != 36)
        return false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        bool hyphen = i == 8 || i == 13 || i == 18 || i == 23;
        if (hyphen ? text[i] != '-' : !isHexDigit(text[i], upper))
            return false;
    }
    return true;
}

TEST(Uuid, RandomHasVersion4AndTheRfcVariant)
{
    for (int i = 0; i < 500; ++i) {
        auto text = Uuid::random().lowerString();
        SCOPED_TRACE(text);
        ASSERT_TRUE(hasStandardLayout(text, false));
        EXPECT_EQ(text[14], '4');
        EXPECT_NE(std::string("89ab").find(text[19]), std::string::npos);
    }
}

TEST(Uuid, RandomValuesDiffer)
{
    std::set<std::string> seen;
    for (int i = 0; i < 2000; ++i)
        seen.insert(Uuid::random().upperString());
    EXPECT_EQ(seen.size(), 2000u);
}

TEST(Uuid, UpperAndLowerFormsSpellTheSameValue)
{
    for (int i = 0; i < 50; ++i) {
        auto uuid = Uuid::random();
        auto upper = uuid.upperString();
        auto lower = uuid.lowerString();
        EXPECT_TRUE(hasStandardLayout(upper, true)) << upper;
        EXPECT_TRUE(hasStandardLayout(lower, false)) << lower;
        std::string lowered = upper;
        std::transform(lowered.begin(), lowered.end(), lowered.begin(), [](unsigned char c) { return std::tolower(c); });
        EXPECT_EQ(lowered, lower);
        EXPECT_EQ(Uuid::parse(upper), uuid);
        EXPECT_EQ(Uuid::parse(lower), uuid);
    }
}

TEST(Uuid, ParseReadsTheStandardFormInEitherCase)
{
    struct Case {
        const char* text;
        const char* lower; // nullptr when refused
    } cases[] = {
        { "E621E1F8-C36C-495A-93FC-0C247A3E6E5F", "e621e1f8-c36c-495a-93fc-0c247a3e6e5f" },
        { "e621E1F8-c36C-495a-93Fc-0C247a3E6e5F", "e621e1f8-c36c-495a-93fc-0c247a3e6e5f" },
        { "00000000-0000-0000-0000-000000000000", "00000000-0000-0000-0000-000000000000" },
        { "FFFFFFFF-FFFF-1FFF-FFFF-FFFFFFFFFFFF", "ffffffff-ffff-1fff-ffff-ffffffffffff" },
        { "", nullptr },
        { "E621E1F8-C36C-495A-93FC-0C247A3E6E5", nullptr },
        { "E621E1F8-C36C-495A-93FC-0C247A3E6E5F0", nullptr },
        { "E621E1F8C36C495A93FC0C247A3E6E5F", nullptr },
        { "E621E1F8-C36C-495A-93FC0-C247A3E6E5F", nullptr },
        { "E621E1F-8C36C-495A-93FC-0C247A3E6E5F", nullptr },
        { "E621E1F8_C36C_495A_93FC_0C247A3E6E5F", nullptr },
        { "G621E1F8-C36C-495A-93FC-0C247A3E6E5F", nullptr },
        { "E621E1F8-C36C-495A-93FC-0C247A3E6E5G", nullptr },
        { "E621E1F8-C36C-495A-93FC-0C247A3E6E5 ", nullptr },
        { "E621E1F8-C36C-495A--3FC-0C247A3E6E5F", nullptr },
        { "urn:uuid:E621E1F8-C36C-495A-93FC-0C2", nullptr },
    };
    for (const auto& testCase : cases) {
        SCOPED_TRACE(testCase.text);
        auto uuid = Uuid::parse(testCase.text);
        EXPECT_EQ(Uuid::isStandardForm(testCase.text), testCase.lower != nullptr);
        if (testCase.lower) {
            ASSERT_TRUE(uuid.has_value());
            EXPECT_EQ(uuid->lowerString(), testCase.lower);
        } else {
            EXPECT_FALSE(uuid.has_value());
        }
    }
}

} // namespace
} // namespace quorin
