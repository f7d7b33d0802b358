#include "InMemoryPreferences.h"

#include "PreferencesSnapshotValue.h"

namespace quorin {

using namespace PreferenceValueRules;

static std::optional<std::string> stringOf(const BridgeValue* value)
{
    return value && value->isString() ? std::optional(value->asString()) : std::nullopt;
}

void InMemoryPreferences::applyLegacy(const BridgeValue::Object& legacy)
{
    if (auto locale = legacy.find("locale"); locale != legacy.end())
        setLocale(&locale->second);
    if (auto muted = legacy.find("audioMuted"); muted != legacy.end())
        setAudioMuted(&muted->second);
    if (auto themes = legacy.find("playBackgroundThemesByServer"); themes != legacy.end() && themes->second.isObject()) {
        std::vector<std::pair<std::string, std::optional<std::string>>> entries;
        for (const auto& [serverID, image] : themes->second.asObject())
            entries.emplace_back(serverID, stringOf(&image));
        m_themes = themeMap(entries);
    }
}

void InMemoryPreferences::setLocale(const BridgeValue* locale)
{
    if (auto text = stringOf(locale); text && isSupportedLocale(*text))
        m_locale = *text;
}

void InMemoryPreferences::setAudioMuted(const BridgeValue* muted)
{
    if (muted && muted->isBool())
        m_audioMuted = muted->asBool();
}

void InMemoryPreferences::setPlayBackgroundTheme(const std::vector<BridgeValue>& arguments)
{
    if (arguments.size() != 2)
        return;
    auto id = arguments[0].isString() ? serverID(arguments[0].asString()) : std::nullopt;
    auto url = arguments[1].isString() ? themeURL(arguments[1].asString()) : std::nullopt;
    if (!id || !url)
        return;
    // Past the cap only an existing entry may change.
    if (m_themes.size() >= maximumThemes && !m_themes.contains(*id))
        return;
    m_themes.insert_or_assign(std::move(*id), std::move(*url));
}

void InMemoryPreferences::clearPlayBackgroundTheme(const BridgeValue* serverID)
{
    if (!serverID || !serverID->isString())
        return;
    if (auto id = PreferenceValueRules::serverID(serverID->asString()))
        m_themes.erase(*id);
}

BridgeValue InMemoryPreferences::snapshot() const
{
    return preferencesSnapshotValue(m_locale, m_audioMuted, m_themes);
}

} // namespace quorin
