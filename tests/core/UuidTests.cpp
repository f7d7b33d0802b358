#include "core/Uuid.h"

#include <gtest/gtest.h>

namespace quorin {
namespace {

TEST(Uuid, ParseReadsTheStandardFormInEitherCase)
{
    const auto upper = Uuid::parse("E621E1F8-C36C-495A-93FC-0C247A3E6E5F");
    ASSERT_TRUE(upper.has_value());
    EXPECT_EQ(Uuid::parse("e621e1f8-c36C-495a-93Fc-0C247a3E6e5f"), upper);
    EXPECT_NE(Uuid::parse("E621E1F8-C36C-495A-93FC-0C247A3E6E5E"), upper);
    for (const char* text : { "E621E1F8-C36C-495A-93FC-0C247A3E6E5", "E621E1F8-C36C-495A-93FC-0C247A3E6E5F0", "E621E1F8C36C495A93FC0C247A3E6E5F", "E621E1F8-C36C-495A-93FC0-C247A3E6E5F",
             "E621E1F8_C36C_495A_93FC_0C247A3E6E5F", "G621E1F8-C36C-495A-93FC-0C247A3E6E5F", "E621E1F8-C36C-495A-93FC-0C247A3E6E5 ", "{621E1F8-C36C-495A-93FC-0C247A3E6E5}" })
        EXPECT_FALSE(Uuid::parse(text).has_value()) << text;
}

TEST(Uuid, RandomIsVersion4WithTheRfcVariantInLowerCase)
{
    auto first = Uuid::random();
    auto text = first.lowerString();
    EXPECT_EQ(Uuid::parse(text), first);
    EXPECT_EQ(text.find_first_of("ABCDEF"), std::string::npos) << text;
    EXPECT_TRUE(text[14] == '4' && std::string_view("89ab").find(text[19]) != std::string_view::npos) << text;
    EXPECT_NE(Uuid::random(), first);
}

} // namespace
} // namespace quorin
