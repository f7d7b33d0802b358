#include "BridgeMethod.h"

namespace quorin {
namespace {

struct MethodEntry {
    BridgeMethod method;
    std::string_view wire;
};

// Table order is the order the page-side API lists its methods in.
constexpr std::array<MethodEntry, bridgeMethodCount> methodTable = { {
    { BridgeMethod::GetAppInfo, "getAppInfo" },
    { BridgeMethod::GetResourceCacheSize, "getResourceCacheSize" },
    { BridgeMethod::GetRuntimeConfig, "getRuntimeConfig" },
    { BridgeMethod::GetSystemTheme, "getSystemTheme" },
    { BridgeMethod::ApiRequest, "api.request" },
    { BridgeMethod::GameOpen, "game.open" },
    { BridgeMethod::GameClose, "game.close" },
    { BridgeMethod::LauncherUpdateGetState, "launcherUpdates.getState" },
    { BridgeMethod::LauncherUpdateCheck, "launcherUpdates.check" },
    { BridgeMethod::LauncherUpdateDownload, "launcherUpdates.download" },
    { BridgeMethod::LauncherUpdateInstall, "launcherUpdates.install" },
    { BridgeMethod::PreferencesInitialize, "preferences.initialize" },
    { BridgeMethod::PreferencesSetLocale, "preferences.setLocale" },
    { BridgeMethod::PreferencesSetAudioMuted, "preferences.setAudioMuted" },
    { BridgeMethod::PreferencesSetPlayBackgroundTheme, "preferences.setPlayBackgroundTheme" },
    { BridgeMethod::PreferencesClearPlayBackgroundTheme, "preferences.clearPlayBackgroundTheme" },
    { BridgeMethod::GetStartupURL, "getStartupUrl" },
    { BridgeMethod::UpdateDiscordActivity, "updateDiscordActivity" },
    { BridgeMethod::ClearDiscordActivity, "clearDiscordActivity" },
    { BridgeMethod::SavedAccountsList, "savedAccounts.list" },
    { BridgeMethod::SavedAccountsUpsert, "savedAccounts.upsert" },
    { BridgeMethod::SavedAccountsRemove, "savedAccounts.remove" },
    { BridgeMethod::AuthBeginExternalLogin, "auth.beginExternalLogin" },
    { BridgeMethod::OpenExternal, "openExternal" },
    { BridgeMethod::ClearResourceCache, "clearResourceCache" },
    { BridgeMethod::CopyText, "copyText" },
    { BridgeMethod::ShowItemInFolder, "showItemInFolder" },
    { BridgeMethod::WindowMinimize, "windowMinimize" },
    { BridgeMethod::WindowMaximize, "windowMaximize" },
    { BridgeMethod::WindowClose, "windowClose" },
    { BridgeMethod::WindowIsMaximized, "windowIsMaximized" },
    { BridgeMethod::ZoomIn, "zoomIn" },
    { BridgeMethod::ZoomOut, "zoomOut" },
    { BridgeMethod::ZoomReset, "zoomReset" },
    { BridgeMethod::GetZoomFactor, "getZoomFactor" },
    { BridgeMethod::SetAudioMuted, "setAudioMuted" },
    { BridgeMethod::GetAudioMuted, "getAudioMuted" },
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

const std::array<BridgeMethod, bridgeMethodCount>& allBridgeMethods()
{
    return methodList;
}

} // namespace quorin
