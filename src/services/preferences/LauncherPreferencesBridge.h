#pragma once

// The preferences store behind the bridge: checks each method's arguments as the page sends
// them and answers with the snapshot's value or the store's coded error. The bridge service
// sends "preferencesChanged" itself. Main thread only.

#include "LauncherPreferencesStore.h"
#include "bridge/PreferencesBridgePort.h"

namespace quorin {

class LauncherPreferencesBridge final : public PreferencesBridgePort {
public:
    explicit LauncherPreferencesBridge(LauncherPreferencesStore store);

    BridgeServiceResult initialize(const BridgeValue::Object& legacyValues) override;
    // A non-string fails with invalidLocale.
    BridgeServiceResult setLocale(const BridgeValue* locale) override;
    // A non-boolean fails with invalidAudioMuted.
    BridgeServiceResult setAudioMuted(const BridgeValue* muted) override;
    // Anything but exactly two strings fails with invalidServerID.
    BridgeServiceResult setPlayBackgroundTheme(const std::vector<BridgeValue>& arguments) override;
    // A non-string fails with invalidServerID.
    BridgeServiceResult clearPlayBackgroundTheme(const BridgeValue* serverID) override;

private:
    LauncherPreferencesStore m_store;
};

} // namespace quorin
