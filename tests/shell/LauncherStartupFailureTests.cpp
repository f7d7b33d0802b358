#include "shell/LauncherStartupFailure.h"

#include "core/CodedError.h"

#include <gtest/gtest.h>

namespace quorin {
namespace {

static_assert(CodedError<LauncherStartupFailure>);

TEST(LauncherStartupFailureTests, RawValuesRoundTripInDeclarationOrder)
{
    const std::vector<std::pair<LauncherStartupFailure, std::string>> expected = {
        { LauncherStartupFailure::configurationInvalid(), "LAUNCHER_CONFIGURATION_INVALID" },
        { LauncherStartupFailure::webUIInvalid(), "LAUNCHER_WEB_UI_INVALID" },
        { LauncherStartupFailure::storageUnavailable(), "LAUNCHER_STORAGE_UNAVAILABLE" },
    };
    ASSERT_EQ(LauncherStartupFailure::allCases().size(), expected.size());
    for (std::size_t index = 0; index < expected.size(); ++index) {
        const auto& [failure, raw] = expected[index];
        EXPECT_EQ(LauncherStartupFailure::allCases()[index], failure);
        EXPECT_EQ(failure.rawValue(), raw);
        EXPECT_EQ(failure.code(), raw);
        EXPECT_TRUE(isWellFormedCode(failure.code()));
        EXPECT_EQ(LauncherStartupFailure::fromRawValue(raw), failure);
    }
}

TEST(LauncherStartupFailureTests, NoFailureFromAnyOtherString)
{
    for (std::string_view text : { "", "launcher_configuration_invalid", "LAUNCHER_WEB_UI_INVALID ", " LAUNCHER_WEB_UI_INVALID",
             "LAUNCHER_STORAGE", "LAUNCHER_STORAGE_UNAVAILABLEX", "configurationInvalid", "WEB_UI_NAVIGATION_FAILED", "BRIDGE_FAILED" })
        EXPECT_EQ(LauncherStartupFailure::fromRawValue(text), std::nullopt) << '"' << text << '"';
    EXPECT_EQ(LauncherStartupFailure::fromRawValue(std::string_view("LAUNCHER_WEB_UI_INVALID\0", 24)), std::nullopt);
}

} // namespace
} // namespace quorin
