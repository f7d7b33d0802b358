#include "LauncherUpdateError.h"

#include <array>
#include <utility>

namespace quorin {

namespace {

using enum LauncherUpdateError::Case;

constexpr std::array<std::pair<LauncherUpdateError::Case, std::string_view>, 11> codes { {
    { InvalidFeed, "UPDATE_FEED_INVALID" },
    { InvalidArchive, "UPDATE_ARCHIVE_INVALID" },
    { Integrity, "UPDATE_INTEGRITY_FAILED" },
    { Signature, "UPDATE_SIGNATURE_INVALID" },
    { Notarization, "UPDATE_NOTARIZATION_REQUIRED" },
    { Location, "UPDATE_INSTALL_LOCATION_UNWRITABLE" },
    { Unavailable, "UPDATE_UNAVAILABLE" },
    { Network, "UPDATE_NETWORK_FAILED" },
    { Install, "UPDATE_INSTALL_FAILED" },
    { Launch, "UPDATE_RELAUNCH_FAILED" },
    { Timeout, "UPDATE_QUIT_TIMEOUT" },
} };

} // namespace

std::optional<LauncherUpdateError> LauncherUpdateError::fromCode(std::string_view code)
{
    for (const auto& [errorCase, caseCode] : codes) {
        if (caseCode == code)
            return LauncherUpdateError { errorCase };
    }
    return std::nullopt;
}

std::string LauncherUpdateError::code() const
{
    for (const auto& [errorCase_, caseCode] : codes) {
        if (errorCase_ == errorCase)
            return std::string(caseCode);
    }
    return std::string(codes[static_cast<std::size_t>(Network)].second);
}

} // namespace quorin
