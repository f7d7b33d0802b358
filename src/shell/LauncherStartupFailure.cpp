#include "LauncherStartupFailure.h"

#include <algorithm>

namespace quorin {

const std::array<LauncherStartupFailure, 3>& LauncherStartupFailure::allCases()
{
    static constexpr std::array<LauncherStartupFailure, 3> cases {
        configurationInvalid(),
        webUIInvalid(),
        storageUnavailable(),
    };
    return cases;
}

std::optional<LauncherStartupFailure> LauncherStartupFailure::fromRawValue(std::string_view rawValue)
{
    auto found = std::ranges::find(allCases(), rawValue, &LauncherStartupFailure::rawValue);
    if (found == allCases().end())
        return std::nullopt;
    return *found;
}

std::string_view LauncherStartupFailure::rawValue() const
{
    switch (m_case) {
    case Case::ConfigurationInvalid:
        return "LAUNCHER_CONFIGURATION_INVALID";
    case Case::WebUIInvalid:
        return "LAUNCHER_WEB_UI_INVALID";
    case Case::StorageUnavailable:
        return "LAUNCHER_STORAGE_UNAVAILABLE";
    }
    return "LAUNCHER_WEB_UI_INVALID"; // unreachable: the switch covers every case
}

} // namespace quorin
