#pragma once

#include <string>

namespace quorin {

// Why a start of the launcher failed; the code is what the user is shown.
struct LauncherStartupFailure {
    enum class Case {
        ConfigurationInvalid,
        WebUIInvalid,
        StorageUnavailable,
    };
    Case errorCase;

    static LauncherStartupFailure configurationInvalid() { return { Case::ConfigurationInvalid }; }
    static LauncherStartupFailure webUIInvalid() { return { Case::WebUIInvalid }; }
    static LauncherStartupFailure storageUnavailable() { return { Case::StorageUnavailable }; }

    // "LAUNCHER_CONFIGURATION_INVALID", "LAUNCHER_WEB_UI_INVALID" or "LAUNCHER_STORAGE_UNAVAILABLE".
    std::string code() const;

    bool operator==(const LauncherStartupFailure&) const = default;
};

} // namespace quorin
