#include "LauncherPreferencesSnapshot.h"

#include "bridge/PreferencesSnapshotValue.h"
#include "core/JsonReaders.h"

#include <nlohmann/json.hpp>

namespace quorin {

BridgeValue LauncherPreferencesSnapshot::bridgeValue() const
{
    return preferencesSnapshotValue(locale, audioMuted, playBackgroundThemesByServer);
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
