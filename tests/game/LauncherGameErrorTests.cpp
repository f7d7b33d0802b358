#include "game/LauncherGameError.h"

#include <gtest/gtest.h>

namespace quorin {
namespace {

TEST(LauncherGameError, CodesRoundTripOnlyWhenExact)
{
    using enum LauncherGameError::Case;
    for (auto errorCase : { InvalidSession, ExpiredSession, SessionUnavailable, RuntimeInvalid, ResourceDenied,
             SocketConfigurationInvalid, SocketUnavailable }) {
        LauncherGameError error { errorCase };
        EXPECT_EQ(LauncherGameError::fromCode(error.code()), error) << error.code();
    }
    EXPECT_EQ(LauncherGameError::fromCode("game_session_invalid"), std::nullopt);
    EXPECT_EQ(LauncherGameError::fromCode("GAME_SESSION_INVALID "), std::nullopt);
}

} // namespace
} // namespace quorin
