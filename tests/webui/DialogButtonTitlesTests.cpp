#include "webui/DialogButtonTitles.h"

#include <gtest/gtest.h>

namespace quorin {
namespace {

TEST(DialogButtonTitles, FollowTheFirstPreferredLanguage)
{
    const DialogButtonTitles turkish { "Tamam", "\xC4\xB0ptal" };
    const DialogButtonTitles english { "OK", "Cancel" };
    const std::pair<std::vector<std::string>, DialogButtonTitles> cases[] = {
        { {}, english },
        { { "TR_tr.UTF-8" }, turkish },
        { { "en-US", "tr-TR" }, english },
        { { "t" }, english },
    };
    for (const auto& [languages, expected] : cases)
        EXPECT_EQ(dialogButtonTitles(languages), expected) << (languages.empty() ? "(none)" : languages.front());
}

} // namespace
} // namespace quorin
