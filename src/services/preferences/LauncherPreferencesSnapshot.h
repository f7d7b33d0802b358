#pragma once

// The launcher's preferences at one moment: what the page receives and what the preferences
// file holds.

#include "bridge/BridgeValue.h"
#include "core/PreferenceValueRules.h"

#include <optional>
#include <string>

namespace quorin {

struct LauncherPreferencesSnapshot {
    // Written to the file and sent to the page; ignored when reading.
    static constexpr int version = 1;

    std::string locale { "tr" };
    bool audioMuted { false };
    PreferenceValueRules::ThemeMap playBackgroundThemesByServer {};

    static LauncherPreferencesSnapshot defaults() { return {}; }

    // {"version", "locale", "audioMuted", "playBackgroundThemesByServer"}.
    BridgeValue bridgeValue() const;
    // The file's text: keys sorted, pretty-printed, "/" not escaped, one final newline.
    // nullopt when a string is not valid UTF-8.
    std::optional<std::string> fileText() const;

    bool operator==(const LauncherPreferencesSnapshot&) const = default;
};

} // namespace quorin
