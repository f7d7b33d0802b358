#include "LauncherPreferencesStoreError.h"

namespace quorin {

std::string LauncherPreferencesStoreError::code() const
{
    switch (errorCase) {
    case Case::InvalidLocale:
        return "PREFERENCES_INVALID_LOCALE";
    case Case::InvalidAudioMuted:
        return "PREFERENCES_INVALID_AUDIO_MUTED";
    case Case::InvalidServerID:
        return "PREFERENCES_INVALID_SERVER_ID";
    case Case::InvalidThemeURL:
        return "PREFERENCES_INVALID_THEME_URL";
    case Case::PersistenceFailed:
        return "PREFERENCES_PERSISTENCE_FAILED";
    }
    return "PREFERENCES_PERSISTENCE_FAILED"; // unreachable: the switch covers every case
}

} // namespace quorin
