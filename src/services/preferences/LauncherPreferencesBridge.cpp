#include "LauncherPreferencesBridge.h"

namespace quorin {

namespace {

BridgeServiceResult answer(const LauncherPreferencesStore::SnapshotResult& snapshot)
{
    if (snapshot.isError())
        return fail(BridgeServiceError::coded(snapshot.error()));
    return snapshot->bridgeValue();
}

BridgeServiceResult refuse(const LauncherPreferencesStoreError& error)
{
    return fail(BridgeServiceError::coded(error));
}

} // namespace

LauncherPreferencesBridge::LauncherPreferencesBridge(LauncherPreferencesStore store)
    : m_store(std::move(store))
{
}

BridgeServiceResult LauncherPreferencesBridge::initialize(const BridgeValue::Object& legacyValues)
{
    return answer(m_store.initialize(legacyValues));
}

BridgeServiceResult LauncherPreferencesBridge::setLocale(const BridgeValue* locale)
{
    if (!locale || !locale->isString())
        return refuse(LauncherPreferencesStoreError::invalidLocale());
    return answer(m_store.setLocale(locale->asString()));
}

BridgeServiceResult LauncherPreferencesBridge::setAudioMuted(const BridgeValue* muted)
{
    if (!muted || !muted->isBool())
        return refuse(LauncherPreferencesStoreError::invalidAudioMuted());
    return answer(m_store.setAudioMuted(muted->asBool()));
}

BridgeServiceResult LauncherPreferencesBridge::setPlayBackgroundTheme(const std::vector<BridgeValue>& arguments)
{
    if (arguments.size() != 2 || !arguments[0].isString() || !arguments[1].isString())
        return refuse(LauncherPreferencesStoreError::invalidServerID());
    return answer(m_store.setPlayBackgroundTheme(arguments[0].asString(), arguments[1].asString()));
}

BridgeServiceResult LauncherPreferencesBridge::clearPlayBackgroundTheme(const BridgeValue* serverID)
{
    if (!serverID || !serverID->isString())
        return refuse(LauncherPreferencesStoreError::invalidServerID());
    return answer(m_store.clearPlayBackgroundTheme(serverID->asString()));
}

} // namespace quorin
