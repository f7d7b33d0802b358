#pragma once

// The preferences the page sees while there is no preferences store: kept for this run only,
// under the store's own value rules and theme cap. Every input that a store would refuse is
// ignored here instead of failing the call.

#include "BridgeValue.h"
#include "core/PreferenceValueRules.h"

#include <string>
#include <vector>

namespace quorin {

class InMemoryPreferences {
public:
    // Each legacy key applies on its own: a supported "locale", a boolean "audioMuted", and
    // "playBackgroundThemesByServer", whose valid entries replace the themes.
    void applyLegacy(const BridgeValue::Object& legacy);
    void setLocale(const BridgeValue* locale);
    void setAudioMuted(const BridgeValue* muted);
    void setPlayBackgroundTheme(const std::vector<BridgeValue>& arguments);
    void clearPlayBackgroundTheme(const BridgeValue* serverID);

    // {"version": 1, "locale", "audioMuted", "playBackgroundThemesByServer"}.
    BridgeValue snapshot() const;

private:
    std::string m_locale { "tr" };
    bool m_audioMuted { false };
    PreferenceValueRules::ThemeMap m_themes;
};

} // namespace quorin
