#pragma once

// The preferences as the page receives them, whether a store keeps them or the bridge
// service holds them in memory: {"version": 1, "locale", "audioMuted",
// "playBackgroundThemesByServer"}.

#include "BridgeValue.h"
#include "core/PreferenceValueRules.h"

#include <string_view>

namespace quorin {

BridgeValue preferencesSnapshotValue(std::string_view locale, bool audioMuted, const PreferenceValueRules::ThemeMap& themes);

} // namespace quorin
