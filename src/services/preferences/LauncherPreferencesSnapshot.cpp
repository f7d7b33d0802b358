#include "LauncherPreferencesSnapshot.h"

#include "core/JsonReaders.h"

#include <nlohmann/json.hpp>

namespace quorin {

BridgeValue LauncherPreferencesSnapshot::bridgeValue() const
{
    BridgeValue::Object themes;
    for (const auto& [serverID, url] : playBackgroundThemesByServer)
        themes.emplace(serverID, BridgeValue::string(url));
    return BridgeValue::object({
        { "version", BridgeValue::number(version) },
        { "locale", BridgeValue::string(locale) },
        { "audioMuted", BridgeValue::boolean(audioMuted) },
        { "playBackgroundThemesByServer", BridgeValue::object(std::move(themes)) },
    });
}

std::optional<std::string> LauncherPreferencesSnapshot::fileText() const
{
    nlohmann::json document = {
        { "version", version },
        { "locale", locale },
        { "audioMuted", audioMuted },
        { "playBackgroundThemesByServer", nlohmann::json(playBackgroundThemesByServer) },
    };
    return json::fileText(document);
}

} // namespace quorin
