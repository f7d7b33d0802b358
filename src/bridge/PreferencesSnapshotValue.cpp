#include "PreferencesSnapshotValue.h"

namespace quorin {

BridgeValue preferencesSnapshotValue(std::string_view locale, bool audioMuted, const PreferenceValueRules::ThemeMap& themes)
{
    BridgeValue::Object themeValues;
    for (const auto& [serverID, url] : themes)
        themeValues.emplace(serverID, BridgeValue::string(url));
    return BridgeValue::object({
        { "version", BridgeValue::number(1) },
        { "locale", BridgeValue::string(std::string(locale)) },
        { "audioMuted", BridgeValue::boolean(audioMuted) },
        { "playBackgroundThemesByServer", BridgeValue::object(std::move(themeValues)) },
    });
}

} // namespace quorin
