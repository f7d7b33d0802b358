#include "InMemoryPreferences.h"

namespace quorin {

static bool isSupportedLocale(const BridgeValue& value)
{
    return value.isString() && (value.asString() == "en" || value.asString() == "tr");
}

void InMemoryPreferences::applyLegacy(const BridgeValue::Object& legacy)
{
    if (auto locale = legacy.find("locale"); locale != legacy.end())
        setLocale(&locale->second);
    if (auto muted = legacy.find("audioMuted"); muted != legacy.end())
        setAudioMuted(&muted->second);
    if (auto themes = legacy.find("playBackgroundThemesByServer"); themes != legacy.end() && themes->second.isObject()) {
        m_themes.clear();
        for (const auto& [serverID, image] : themes->second.asObject()) {
            if (image.isString())
                m_themes.emplace(serverID, image);
        }
    }
}

void InMemoryPreferences::setLocale(const BridgeValue* locale)
{
    if (locale && isSupportedLocale(*locale))
        m_locale = locale->asString();
}

void InMemoryPreferences::setAudioMuted(const BridgeValue* muted)
{
    if (muted && muted->isBool())
        m_audioMuted = muted->asBool();
}

void InMemoryPreferences::setPlayBackgroundTheme(const std::vector<BridgeValue>& arguments)
{
    if (arguments.size() != 2 || !arguments[0].isString() || !arguments[1].isString())
        return;
    if (arguments[0].asString().empty() || arguments[1].asString().empty())
        return;
    m_themes.insert_or_assign(arguments[0].asString(), arguments[1]);
}

void InMemoryPreferences::clearPlayBackgroundTheme(const BridgeValue* serverID)
{
    if (serverID && serverID->isString())
        m_themes.erase(serverID->asString());
}

BridgeValue InMemoryPreferences::snapshot() const
{
    return BridgeValue::object({
        { "version", BridgeValue::number(1) },
        { "locale", BridgeValue::string(m_locale) },
        { "audioMuted", BridgeValue::boolean(m_audioMuted) },
        { "playBackgroundThemesByServer", BridgeValue::object(m_themes) },
    });
}

} // namespace quorin
