#include "LauncherGameError.h"

#include <array>
#include <utility>

namespace quorin {

namespace {

using enum LauncherGameError::Case;

constexpr std::array<std::pair<LauncherGameError::Case, std::string_view>, 7> codes { {
    { InvalidSession, "GAME_SESSION_INVALID" },
    { ExpiredSession, "GAME_SESSION_EXPIRED" },
    { SessionUnavailable, "GAME_SESSION_UNAVAILABLE" },
    { RuntimeInvalid, "GAME_RUNTIME_INVALID" },
    { ResourceDenied, "GAME_RESOURCE_DENIED" },
    { SocketConfigurationInvalid, "GAME_SOCKET_CONFIGURATION_INVALID" },
    { SocketUnavailable, "GAME_SOCKET_UNAVAILABLE" },
} };

} // namespace

std::optional<LauncherGameError> LauncherGameError::fromCode(std::string_view code)
{
    for (const auto& [errorCase, caseCode] : codes) {
        if (caseCode == code)
            return LauncherGameError { errorCase };
    }
    return std::nullopt;
}

std::string LauncherGameError::code() const
{
    for (const auto& [errorCase_, caseCode] : codes) {
        if (errorCase_ == errorCase)
            return std::string(caseCode);
    }
    return std::string(codes.back().second);
}

} // namespace quorin
