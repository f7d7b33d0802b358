#pragma once

// The page's preferences (locale, mute flag, a background theme per game server), kept in
// "launcher-preferences.json". Every change is validated and written before it becomes the
// current snapshot; a refused or failed change leaves memory and file as they were. Values
// that older pages kept in browser storage are taken over at most once per kind, and never
// over a value this store already holds. Main thread only.

#include "LauncherPreferencesSnapshot.h"
#include "LauncherPreferencesStoreError.h"
#include "bridge/BridgeValue.h"
#include "core/LauncherDataPersisting.h"
#include "core/Result.h"

#include <memory>
#include <string_view>

namespace quorin {

class LauncherPreferencesStore {
public:
    using SnapshotResult = Result<LauncherPreferencesSnapshot, LauncherPreferencesStoreError>;

    // Loads the file through `persistence`. A missing file or one that is not a JSON object
    // gives the defaults; only a failed read fails, with persistenceFailed.
    static Result<LauncherPreferencesStore, LauncherPreferencesStoreError> create(std::unique_ptr<LauncherDataPersisting> persistence);

    const LauncherPreferencesSnapshot& snapshot() const { return m_snapshot; }

    // Takes "locale", "audioMuted" and "playBackgroundThemesByServer" from an older page's
    // values, each only while this store has never held one of that kind. Writes nothing when
    // nothing was taken. A kind taken stays taken even when the write then fails.
    SnapshotResult initialize(const BridgeValue::Object& legacyValues);
    SnapshotResult setLocale(std::string_view locale);
    SnapshotResult setAudioMuted(bool muted);
    // The server id and URL are trimmed; a new server past the 128th fails with invalidServerID.
    SnapshotResult setPlayBackgroundTheme(std::string_view serverID, std::string_view imageURL);
    // Writes the file even when the server had no theme.
    SnapshotResult clearPlayBackgroundTheme(std::string_view serverID);

private:
    // Which values this store holds by choice, from the file or a change, rather than by default.
    struct ExplicitValues {
        bool locale { false };
        bool audioMuted { false };
        bool themes { false };
    };

    LauncherPreferencesStore(std::unique_ptr<LauncherDataPersisting> persistence, LauncherPreferencesSnapshot snapshot, ExplicitValues explicitValues);

    // Writes `candidate`; on success it becomes the current snapshot.
    SnapshotResult commit(LauncherPreferencesSnapshot candidate);

    std::unique_ptr<LauncherDataPersisting> m_persistence;
    LauncherPreferencesSnapshot m_snapshot;
    ExplicitValues m_explicit;
};

} // namespace quorin
