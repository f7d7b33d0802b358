#include "webui/DialogButtonTitles.h"

#include <gtest/gtest.h>

namespace quorin {
namespace {

TEST(DialogButtonTitlesTests, FollowTheFirstPreferredLanguage)
{
    const DialogButtonTitles turkish { "Tamam", "\xC4\xB0ptal" };
    const DialogButtonTitles english { "OK", "Cancel" };
    struct Case {
        std::vector<std::string> languages;
        DialogButtonTitles expected;
    };
    const std::vector<Case> cases = {
        { {}, english },
        { { "tr" }, turkish },
        { { "tr-TR", "en-US" }, turkish },
        { { "TR-tr" }, turkish },
        { { "Tr_TR.UTF-8" }, turkish },
        { { "en-US", "tr-TR" }, english },
        { { "" , "tr" }, english },
        { { "t" }, english },
        { { "az-Latn" }, english },
    };
    for (const auto& c : cases) {
        auto titles = dialogButtonTitles(c.languages);
        EXPECT_EQ(titles, c.expected) << (c.languages.empty() ? "(empty)" : c.languages.front());
    }
}

} // namespace
} // namespace quorin
