#include "LauncherPreferencesStore.h"

#include "core/JsonReaders.h"

namespace quorin {

using namespace PreferenceValueRules;

namespace {

ThemeMap themesFromFile(const nlohmann::json& themes)
{
    std::vector<std::pair<std::string, std::optional<std::string>>> entries;
    for (const auto& [serverID, url] : themes.items())
        entries.emplace_back(serverID, json::stringValue(url));
    return themeMap(entries);
}

ThemeMap themesFromBridge(const BridgeValue::Object& themes)
{
    std::vector<std::pair<std::string, std::optional<std::string>>> entries;
    for (const auto& [serverID, url] : themes)
        entries.emplace_back(serverID, url.isString() ? std::optional(url.asString()) : std::nullopt);
    return themeMap(entries);
}

const BridgeValue* legacyValue(const BridgeValue::Object& legacyValues, std::string_view key)
{
    auto found = legacyValues.find(key);
    return found == legacyValues.end() ? nullptr : &found->second;
}

} // namespace

Result<LauncherPreferencesStore, LauncherPreferencesStoreError> LauncherPreferencesStore::create(std::unique_ptr<LauncherDataPersisting> persistence)
{
    auto bytes = persistence->read();
    if (bytes.isError())
        return fail(LauncherPreferencesStoreError::persistenceFailed());
    // A file that is not a JSON object counts as no file, so legacy values can still come in.
    auto document = bytes.value() ? json::parse(*bytes.value()) : std::nullopt;
    if (!document || !document->is_object())
        return LauncherPreferencesStore(std::move(persistence), LauncherPreferencesSnapshot::defaults(), {});

    LauncherPreferencesSnapshot snapshot;
    ExplicitValues explicitValues;
    const auto* locale = json::member(*document, "locale");
    if (auto text = locale ? json::stringValue(*locale) : std::nullopt; text && isSupportedLocale(*text)) {
        snapshot.locale = *text;
        explicitValues.locale = true;
    }
    const auto* muted = json::member(*document, "audioMuted");
    if (auto flag = muted ? json::booleanValue(*muted) : std::nullopt) {
        snapshot.audioMuted = *flag;
        explicitValues.audioMuted = true;
    }
    // Even an empty map, or one whose entries were all refused, was the user's.
    const auto* themes = json::member(*document, "playBackgroundThemesByServer");
    if (themes && themes->is_object()) {
        snapshot.playBackgroundThemesByServer = themesFromFile(*themes);
        explicitValues.themes = true;
    }
    return LauncherPreferencesStore(std::move(persistence), std::move(snapshot), explicitValues);
}

LauncherPreferencesStore::LauncherPreferencesStore(std::unique_ptr<LauncherDataPersisting> persistence, LauncherPreferencesSnapshot snapshot, ExplicitValues explicitValues)
    : m_persistence(std::move(persistence))
    , m_snapshot(std::move(snapshot))
    , m_explicit(explicitValues)
{
}

LauncherPreferencesStore::SnapshotResult LauncherPreferencesStore::commit(LauncherPreferencesSnapshot candidate)
{
    auto text = candidate.fileText();
    if (!text || m_persistence->write(*text).isError())
        return fail(LauncherPreferencesStoreError::persistenceFailed());
    m_snapshot = std::move(candidate);
    return m_snapshot;
}

LauncherPreferencesStore::SnapshotResult LauncherPreferencesStore::initialize(const BridgeValue::Object& legacyValues)
{
    auto candidate = m_snapshot;
    bool taken = false;
    const auto* locale = legacyValue(legacyValues, "locale");
    if (!m_explicit.locale && locale && locale->isString() && isSupportedLocale(locale->asString())) {
        candidate.locale = locale->asString();
        m_explicit.locale = taken = true;
    }
    const auto* muted = legacyValue(legacyValues, "audioMuted");
    if (!m_explicit.audioMuted && muted && muted->isBool()) {
        candidate.audioMuted = muted->asBool();
        m_explicit.audioMuted = taken = true;
    }
    const auto* themes = legacyValue(legacyValues, "playBackgroundThemesByServer");
    if (!m_explicit.themes && themes && themes->isObject()) {
        candidate.playBackgroundThemesByServer = themesFromBridge(themes->asObject());
        m_explicit.themes = taken = true;
    }
    if (!taken)
        return m_snapshot;
    return commit(std::move(candidate));
}

LauncherPreferencesStore::SnapshotResult LauncherPreferencesStore::setLocale(std::string_view locale)
{
    if (!isSupportedLocale(locale))
        return fail(LauncherPreferencesStoreError::invalidLocale());
    auto candidate = m_snapshot;
    candidate.locale = std::string(locale);
    auto committed = TRY(commit(std::move(candidate)));
    m_explicit.locale = true;
    return committed;
}

LauncherPreferencesStore::SnapshotResult LauncherPreferencesStore::setAudioMuted(bool muted)
{
    auto candidate = m_snapshot;
    candidate.audioMuted = muted;
    auto committed = TRY(commit(std::move(candidate)));
    m_explicit.audioMuted = true;
    return committed;
}

LauncherPreferencesStore::SnapshotResult LauncherPreferencesStore::setPlayBackgroundTheme(std::string_view serverID, std::string_view imageURL)
{
    auto id = PreferenceValueRules::serverID(serverID);
    if (!id)
        return fail(LauncherPreferencesStoreError::invalidServerID());
    auto url = themeURL(imageURL);
    if (!url)
        return fail(LauncherPreferencesStoreError::invalidThemeURL());
    auto candidate = m_snapshot;
    candidate.playBackgroundThemesByServer.insert_or_assign(std::move(*id), std::move(*url));
    if (candidate.playBackgroundThemesByServer.size() > maximumThemes)
        return fail(LauncherPreferencesStoreError::invalidServerID());
    auto committed = TRY(commit(std::move(candidate)));
    m_explicit.themes = true;
    return committed;
}

LauncherPreferencesStore::SnapshotResult LauncherPreferencesStore::clearPlayBackgroundTheme(std::string_view serverID)
{
    auto id = PreferenceValueRules::serverID(serverID);
    if (!id)
        return fail(LauncherPreferencesStoreError::invalidServerID());
    auto candidate = m_snapshot;
    candidate.playBackgroundThemesByServer.erase(*id);
    auto committed = TRY(commit(std::move(candidate)));
    m_explicit.themes = true;
    return committed;
}

} // namespace quorin
