#pragma once

#include <string>

namespace quorin {

// Why the preferences store refused a change or could not reach its file.
struct LauncherPreferencesStoreError {
    enum class Case {
        InvalidLocale,
        InvalidAudioMuted,
        InvalidServerID,
        InvalidThemeURL,
        PersistenceFailed,
    };
    Case errorCase;

    static LauncherPreferencesStoreError invalidLocale() { return { Case::InvalidLocale }; }
    static LauncherPreferencesStoreError invalidAudioMuted() { return { Case::InvalidAudioMuted }; }
    static LauncherPreferencesStoreError invalidServerID() { return { Case::InvalidServerID }; }
    static LauncherPreferencesStoreError invalidThemeURL() { return { Case::InvalidThemeURL }; }
    static LauncherPreferencesStoreError persistenceFailed() { return { Case::PersistenceFailed }; }

    // "PREFERENCES_INVALID_LOCALE", ..., "PREFERENCES_PERSISTENCE_FAILED".
    std::string code() const;

    bool operator==(const LauncherPreferencesStoreError&) const = default;
};

} // namespace quorin
