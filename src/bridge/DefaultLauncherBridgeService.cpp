#include "DefaultLauncherBridgeService.h"

#include "core/PlatformValues.h"
#include "core/ProductIdentity.h"

namespace quorin {

DefaultLauncherBridgeService::DefaultLauncherBridgeService(BridgeValue::Object runtimeConfig, std::string appVersion)
    : m_runtimeConfig(std::move(runtimeConfig))
    , m_appVersion(std::move(appVersion))
{
}

static BridgeValue cacheResult()
{
    return BridgeValue::object({ { "ok", BridgeValue::boolean(true) }, { "bytes", BridgeValue::number(0) } });
}

static BridgeValue gameUnavailable()
{
    return BridgeValue::object({ { "ok", BridgeValue::boolean(false) }, { "code", BridgeValue::string("GAME_UNAVAILABLE") } });
}

static BridgeServiceError codedFailure(std::string code)
{
    return BridgeServiceError { std::move(code) };
}

BridgeValue DefaultLauncherBridgeService::appInfo() const
{
    return BridgeValue::object({
        { "appName", BridgeValue::string(std::string(ProductIdentity::displayName)) },
        { "appVersion", BridgeValue::string(m_appVersion) },
        { "platform", BridgeValue::string(std::string(PlatformValues::appInfoPlatform)) },
    });
}

BridgeValue DefaultLauncherBridgeService::fallbackPreferenceSnapshot() const
{
    return BridgeValue::object({
        { "version", BridgeValue::number(1) },
        { "locale", BridgeValue::string(m_locale) },
        { "audioMuted", BridgeValue::boolean(m_audioMuted) },
        { "playBackgroundThemesByServer", BridgeValue::object(m_themes) },
    });
}

BridgeValue DefaultLauncherBridgeService::fallbackUpdateState() const
{
    return BridgeValue::object({
        { "status", BridgeValue::string("unsupported") },
        { "currentVersion", BridgeValue::string(m_appVersion) },
        { "version", BridgeValue::null() },
        { "progress", BridgeValue::null() },
        { "error", BridgeValue::null() },
        { "canCheck", BridgeValue::boolean(false) },
        { "canDownload", BridgeValue::boolean(false) },
        { "canInstall", BridgeValue::boolean(false) },
    });
}

static bool isSupportedFallbackLocale(const BridgeValue& value)
{
    return value.isString() && (value.asString() == "en" || value.asString() == "tr");
}

void DefaultLauncherBridgeService::applyLegacyPreferences(const BridgeValue& legacy)
{
    const auto& members = legacy.asObject();
    if (auto locale = members.find("locale"); locale != members.end() && isSupportedFallbackLocale(locale->second))
        m_locale = locale->second.asString();
    if (auto muted = members.find("audioMuted"); muted != members.end() && muted->second.isBool())
        m_audioMuted = muted->second.asBool();
    if (auto themes = members.find("playBackgroundThemesByServer"); themes != members.end() && themes->second.isObject()) {
        m_themes.clear();
        for (const auto& [serverID, image] : themes->second.asObject()) {
            if (image.isString())
                m_themes.emplace(serverID, image);
        }
    }
}

BridgeServiceResult DefaultLauncherBridgeService::handlePreferencesInMemory(const BridgeRequest& request)
{
    const auto& args = request.arguments();
    const BridgeValue* first = args.empty() ? nullptr : &args.front();
    switch (request.method()) {
    case BridgeMethod::PreferencesInitialize:
        if (first && first->isObject())
            applyLegacyPreferences(*first);
        break;
    case BridgeMethod::PreferencesSetLocale:
        if (first && isSupportedFallbackLocale(*first))
            m_locale = first->asString();
        break;
    case BridgeMethod::PreferencesSetAudioMuted:
        if (first && first->isBool())
            m_audioMuted = first->asBool();
        break;
    case BridgeMethod::PreferencesSetPlayBackgroundTheme:
        if (args.size() == 2 && args[0].isString() && args[1].isString() && !args[0].asString().empty() && !args[1].asString().empty())
            m_themes.insert_or_assign(args[0].asString(), args[1]);
        break;
    case BridgeMethod::PreferencesClearPlayBackgroundTheme:
        if (first && first->isString())
            m_themes.erase(first->asString());
        break;
    default:
        break;
    }
    return fallbackPreferenceSnapshot();
}

void DefaultLauncherBridgeService::handle(const BridgeRequest& request, BridgeServiceCompletion completion)
{
    switch (request.method()) {
    case BridgeMethod::GetAppInfo:
        return completion(appInfo());
    case BridgeMethod::GetResourceCacheSize:
    case BridgeMethod::ClearResourceCache:
        return completion(cacheResult());
    case BridgeMethod::GetRuntimeConfig:
        return completion(BridgeValue::object(m_runtimeConfig));
    case BridgeMethod::GetSystemTheme:
        return completion(BridgeValue::string("dark"));
    case BridgeMethod::ApiRequest:
        return completion(fail(codedFailure("API_UNAVAILABLE")));
    case BridgeMethod::GameOpen:
    case BridgeMethod::GameClose:
        return completion(gameUnavailable());
    case BridgeMethod::LauncherUpdateGetState:
    case BridgeMethod::LauncherUpdateCheck:
    case BridgeMethod::LauncherUpdateDownload:
    case BridgeMethod::LauncherUpdateInstall:
        return completion(fallbackUpdateState());
    case BridgeMethod::PreferencesInitialize:
    case BridgeMethod::PreferencesSetLocale:
    case BridgeMethod::PreferencesSetAudioMuted:
    case BridgeMethod::PreferencesSetPlayBackgroundTheme:
    case BridgeMethod::PreferencesClearPlayBackgroundTheme:
        return completion(handlePreferencesInMemory(request));
    case BridgeMethod::GetStartupURL:
        return completion(BridgeValue::null());
    case BridgeMethod::UpdateDiscordActivity:
    case BridgeMethod::ClearDiscordActivity:
        return completion(BridgeValue::boolean(true));
    case BridgeMethod::SavedAccountsList:
        return completion(BridgeValue::array({}));
    case BridgeMethod::SavedAccountsUpsert:
    case BridgeMethod::SavedAccountsRemove:
        return completion(fail(codedFailure("SAVED_ACCOUNTS_INVALID_ENTRY")));
    case BridgeMethod::AuthBeginExternalLogin:
        return completion(BridgeValue::object({}));
    case BridgeMethod::GetZoomFactor:
        return completion(BridgeValue::number(1.0));
    case BridgeMethod::OpenExternal:
    case BridgeMethod::CopyText:
    case BridgeMethod::ShowItemInFolder:
    case BridgeMethod::WindowMinimize:
    case BridgeMethod::WindowMaximize:
    case BridgeMethod::WindowClose:
    case BridgeMethod::WindowIsMaximized:
    case BridgeMethod::ZoomIn:
    case BridgeMethod::ZoomOut:
    case BridgeMethod::ZoomReset:
    case BridgeMethod::SetAudioMuted:
    case BridgeMethod::GetAudioMuted:
        return completion(BridgeValue::boolean(false));
    }
    completion(fail(BridgeServiceError::uncoded()));
}

bool DefaultLauncherBridgeService::acceptDeepLink(const Url&)
{
    // Without a deep-link router no link is recognised.
    return false;
}

} // namespace quorin
