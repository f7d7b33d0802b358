#include "BridgeMethod.h"

namespace quorin {
namespace {

struct MethodEntry {
    BridgeMethod method;
    std::string_view wire;
    BridgeMethodGroup group;
};

// Table order is the order the page-side API lists its methods in.
constexpr std::array<MethodEntry, bridgeMethodCount> methodTable = { {
    { BridgeMethod::GetAppInfo, "getAppInfo", BridgeMethodGroup::Host },
    { BridgeMethod::GetResourceCacheSize, "getResourceCacheSize", BridgeMethodGroup::Host },
    { BridgeMethod::GetRuntimeConfig, "getRuntimeConfig", BridgeMethodGroup::Host },
    { BridgeMethod::GetSystemTheme, "getSystemTheme", BridgeMethodGroup::Host },
    { BridgeMethod::ApiRequest, "api.request", BridgeMethodGroup::API },
    { BridgeMethod::GameOpen, "game.open", BridgeMethodGroup::Game },
    { BridgeMethod::GameClose, "game.close", BridgeMethodGroup::Game },
    { BridgeMethod::LauncherUpdateGetState, "launcherUpdates.getState", BridgeMethodGroup::Updates },
    { BridgeMethod::LauncherUpdateCheck, "launcherUpdates.check", BridgeMethodGroup::Updates },
    { BridgeMethod::LauncherUpdateDownload, "launcherUpdates.download", BridgeMethodGroup::Updates },
    { BridgeMethod::LauncherUpdateInstall, "launcherUpdates.install", BridgeMethodGroup::Updates },
    { BridgeMethod::PreferencesInitialize, "preferences.initialize", BridgeMethodGroup::Preferences },
    { BridgeMethod::PreferencesSetLocale, "preferences.setLocale", BridgeMethodGroup::Preferences },
    { BridgeMethod::PreferencesSetAudioMuted, "preferences.setAudioMuted", BridgeMethodGroup::Preferences },
    { BridgeMethod::PreferencesSetPlayBackgroundTheme, "preferences.setPlayBackgroundTheme", BridgeMethodGroup::Preferences },
    { BridgeMethod::PreferencesClearPlayBackgroundTheme, "preferences.clearPlayBackgroundTheme", BridgeMethodGroup::Preferences },
    { BridgeMethod::GetStartupURL, "getStartupUrl", BridgeMethodGroup::DeepLinks },
    { BridgeMethod::UpdateDiscordActivity, "updateDiscordActivity", BridgeMethodGroup::Host },
    { BridgeMethod::ClearDiscordActivity, "clearDiscordActivity", BridgeMethodGroup::Host },
    { BridgeMethod::SavedAccountsList, "savedAccounts.list", BridgeMethodGroup::SavedAccounts },
    { BridgeMethod::SavedAccountsUpsert, "savedAccounts.upsert", BridgeMethodGroup::SavedAccounts },
    { BridgeMethod::SavedAccountsRemove, "savedAccounts.remove", BridgeMethodGroup::SavedAccounts },
    { BridgeMethod::AuthBeginExternalLogin, "auth.beginExternalLogin", BridgeMethodGroup::DeepLinks },
    { BridgeMethod::OpenExternal, "openExternal", BridgeMethodGroup::System },
    { BridgeMethod::ClearResourceCache, "clearResourceCache", BridgeMethodGroup::Host },
    { BridgeMethod::CopyText, "copyText", BridgeMethodGroup::System },
    { BridgeMethod::ShowItemInFolder, "showItemInFolder", BridgeMethodGroup::System },
    { BridgeMethod::WindowMinimize, "windowMinimize", BridgeMethodGroup::System },
    { BridgeMethod::WindowMaximize, "windowMaximize", BridgeMethodGroup::System },
    { BridgeMethod::WindowClose, "windowClose", BridgeMethodGroup::System },
    { BridgeMethod::WindowIsMaximized, "windowIsMaximized", BridgeMethodGroup::System },
    { BridgeMethod::ZoomIn, "zoomIn", BridgeMethodGroup::System },
    { BridgeMethod::ZoomOut, "zoomOut", BridgeMethodGroup::System },
    { BridgeMethod::ZoomReset, "zoomReset", BridgeMethodGroup::System },
    { BridgeMethod::GetZoomFactor, "getZoomFactor", BridgeMethodGroup::System },
    { BridgeMethod::SetAudioMuted, "setAudioMuted", BridgeMethodGroup::System },
    { BridgeMethod::GetAudioMuted, "getAudioMuted", BridgeMethodGroup::System },
} };

// The enumeration and the table are written separately; keep them in step.
constexpr bool tableMatchesEnumeration()
{
    for (std::size_t i = 0; i < methodTable.size(); ++i) {
        if (static_cast<std::size_t>(methodTable[i].method) != i)
            return false;
    }
    return true;
}
static_assert(tableMatchesEnumeration());

constexpr std::array<BridgeMethod, bridgeMethodCount> makeMethodList()
{
    std::array<BridgeMethod, bridgeMethodCount> methods {};
    for (std::size_t i = 0; i < methodTable.size(); ++i)
        methods[i] = methodTable[i].method;
    return methods;
}

constexpr auto methodList = makeMethodList();

} // namespace

std::optional<BridgeMethod> bridgeMethodFromWireString(std::string_view wire)
{
    for (const auto& entry : methodTable) {
        if (entry.wire == wire)
            return entry.method;
    }
    return std::nullopt;
}

std::string_view wireString(BridgeMethod method)
{
    return methodTable[static_cast<std::size_t>(method)].wire;
}

BridgeMethodGroup groupOf(BridgeMethod method)
{
    return methodTable[static_cast<std::size_t>(method)].group;
}

const std::array<BridgeMethod, bridgeMethodCount>& allBridgeMethods()
{
    return methodList;
}

} // namespace quorin
