#pragma once

// What the bridge service needs of the preferences store. Each operation checks its own
// arguments, commits, and answers with the resulting snapshot value or the store's coded error.
// Main thread only.

#include "LauncherBridgeServicing.h"

#include <string_view>

#include <vector>

namespace quorin {

class PreferencesBridgePort {
public:
    virtual ~PreferencesBridgePort() = default;
    // The page event sent after every operation that went through the store.
    static constexpr std::string_view changedEvent = "preferencesChanged";
    virtual BridgeServiceResult initialize(const BridgeValue::Object& legacyValues) = 0;
    virtual BridgeServiceResult setLocale(const BridgeValue* locale) = 0;
    virtual BridgeServiceResult setAudioMuted(const BridgeValue* muted) = 0;
    virtual BridgeServiceResult setPlayBackgroundTheme(const std::vector<BridgeValue>& arguments) = 0;
    virtual BridgeServiceResult clearPlayBackgroundTheme(const BridgeValue* serverID) = 0;
};

} // namespace quorin
