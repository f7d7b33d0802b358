#include "DefaultLauncherBridgeService.h"

namespace quorin {

static const BridgeValue* firstArgument(const BridgeRequest& request)
{
    return request.arguments().empty() ? nullptr : &request.arguments().front();
}

static BridgeValue::Object legacyValues(const BridgeValue* first)
{
    return first && first->isObject() ? first->asObject() : BridgeValue::Object {};
}

BridgeServiceResult DefaultLauncherBridgeService::preferencesThroughStore(const BridgeRequest& request)
{
    auto& store = *m_components.preferences;
    const BridgeValue* first = firstArgument(request);
    switch (request.method()) {
    case BridgeMethod::PreferencesInitialize:
        return store.initialize(legacyValues(first));
    case BridgeMethod::PreferencesSetLocale:
        return store.setLocale(first);
    case BridgeMethod::PreferencesSetAudioMuted:
        return store.setAudioMuted(first);
    case BridgeMethod::PreferencesSetPlayBackgroundTheme:
        return store.setPlayBackgroundTheme(request.arguments());
    case BridgeMethod::PreferencesClearPlayBackgroundTheme:
        return store.clearPlayBackgroundTheme(first);
    default:
        return fail(BridgeServiceError::uncoded());
    }
}

void DefaultLauncherBridgeService::handlePreferences(const BridgeRequest& request, BridgeServiceCompletion completion)
{
    if (m_components.preferences) {
        auto snapshot = preferencesThroughStore(request);
        // The page hears of the change before the call itself returns.
        if (snapshot)
            sendEvent(std::string(PreferencesBridgePort::changedEvent), snapshot.value());
        return completion(std::move(snapshot));
    }

    const BridgeValue* first = firstArgument(request);
    switch (request.method()) {
    case BridgeMethod::PreferencesInitialize:
        m_inMemoryPreferences.applyLegacy(legacyValues(first));
        break;
    case BridgeMethod::PreferencesSetLocale:
        m_inMemoryPreferences.setLocale(first);
        break;
    case BridgeMethod::PreferencesSetAudioMuted:
        m_inMemoryPreferences.setAudioMuted(first);
        break;
    case BridgeMethod::PreferencesSetPlayBackgroundTheme:
        m_inMemoryPreferences.setPlayBackgroundTheme(request.arguments());
        break;
    case BridgeMethod::PreferencesClearPlayBackgroundTheme:
        m_inMemoryPreferences.clearPlayBackgroundTheme(first);
        break;
    default:
        return completion(fail(BridgeServiceError::uncoded()));
    }
    completion(m_inMemoryPreferences.snapshot());
}

} // namespace quorin
