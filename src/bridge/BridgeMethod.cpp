#include "BridgeMethod.h"

namespace quorin {
namespace {

using MissingPayload = BridgePageCall::MissingPayload;

struct MethodEntry {
    BridgeMethod method;
    std::string_view wire;
    BridgeMethodGroup group;
    BridgePageCall pageCall;
};

constexpr BridgePageCall invoke(std::size_t argumentCount, MissingPayload missingPayload = MissingPayload::AsGiven)
{
    return { argumentCount, BridgePageCall::Reply::Awaited, missingPayload };
}

constexpr BridgePageCall fire(std::size_t argumentCount, MissingPayload missingPayload = MissingPayload::AsGiven)
{
    return { argumentCount, BridgePageCall::Reply::Dropped, missingPayload };
}

// The one list of wire strings. Table order is the order the page-side API lists its methods in.
constexpr std::array<MethodEntry, bridgeMethodCount> methodTable = { {
    { BridgeMethod::GetAppInfo, "getAppInfo", BridgeMethodGroup::Host, invoke(0) },
    { BridgeMethod::GetResourceCacheSize, "getResourceCacheSize", BridgeMethodGroup::Host, invoke(0) },
    { BridgeMethod::GetRuntimeConfig, "getRuntimeConfig", BridgeMethodGroup::Host, invoke(0) },
    { BridgeMethod::GetSystemTheme, "getSystemTheme", BridgeMethodGroup::Host, invoke(0) },
    { BridgeMethod::ApiRequest, "api.request", BridgeMethodGroup::API, invoke(1) },
    { BridgeMethod::GameOpen, "game.open", BridgeMethodGroup::Game, invoke(1) },
    { BridgeMethod::GameClose, "game.close", BridgeMethodGroup::Game, invoke(0) },
    { BridgeMethod::LauncherUpdateGetState, "launcherUpdates.getState", BridgeMethodGroup::Updates, invoke(0) },
    { BridgeMethod::LauncherUpdateCheck, "launcherUpdates.check", BridgeMethodGroup::Updates, invoke(0) },
    { BridgeMethod::LauncherUpdateDownload, "launcherUpdates.download", BridgeMethodGroup::Updates, invoke(0) },
    { BridgeMethod::LauncherUpdateInstall, "launcherUpdates.install", BridgeMethodGroup::Updates, invoke(0) },
    { BridgeMethod::PreferencesInitialize, "preferences.initialize", BridgeMethodGroup::Preferences, invoke(1, MissingPayload::EmptyObject) },
    { BridgeMethod::PreferencesSetLocale, "preferences.setLocale", BridgeMethodGroup::Preferences, invoke(1) },
    { BridgeMethod::PreferencesSetAudioMuted, "preferences.setAudioMuted", BridgeMethodGroup::Preferences, invoke(1) },
    { BridgeMethod::PreferencesSetPlayBackgroundTheme, "preferences.setPlayBackgroundTheme", BridgeMethodGroup::Preferences, invoke(2) },
    { BridgeMethod::PreferencesClearPlayBackgroundTheme, "preferences.clearPlayBackgroundTheme", BridgeMethodGroup::Preferences, invoke(1) },
    { BridgeMethod::GetStartupURL, "getStartupUrl", BridgeMethodGroup::DeepLinks, invoke(0) },
    { BridgeMethod::UpdateDiscordActivity, "updateDiscordActivity", BridgeMethodGroup::Host, fire(1, MissingPayload::EmptyObject) },
    { BridgeMethod::ClearDiscordActivity, "clearDiscordActivity", BridgeMethodGroup::Host, fire(0) },
    { BridgeMethod::SavedAccountsList, "savedAccounts.list", BridgeMethodGroup::SavedAccounts, invoke(0) },
    { BridgeMethod::SavedAccountsUpsert, "savedAccounts.upsert", BridgeMethodGroup::SavedAccounts, invoke(1) },
    { BridgeMethod::SavedAccountsRemove, "savedAccounts.remove", BridgeMethodGroup::SavedAccounts, invoke(1) },
    { BridgeMethod::AuthBeginExternalLogin, "auth.beginExternalLogin", BridgeMethodGroup::DeepLinks, invoke(0) },
    { BridgeMethod::OpenExternal, "openExternal", BridgeMethodGroup::System, invoke(1) },
    { BridgeMethod::ClearResourceCache, "clearResourceCache", BridgeMethodGroup::Host, invoke(0) },
    { BridgeMethod::CopyText, "copyText", BridgeMethodGroup::System, invoke(1) },
    { BridgeMethod::ShowItemInFolder, "showItemInFolder", BridgeMethodGroup::System, invoke(1) },
    { BridgeMethod::WindowMinimize, "windowMinimize", BridgeMethodGroup::System, fire(0) },
    { BridgeMethod::WindowMaximize, "windowMaximize", BridgeMethodGroup::System, fire(0) },
    { BridgeMethod::WindowClose, "windowClose", BridgeMethodGroup::System, fire(0) },
    { BridgeMethod::WindowIsMaximized, "windowIsMaximized", BridgeMethodGroup::System, invoke(0) },
    { BridgeMethod::ZoomIn, "zoomIn", BridgeMethodGroup::System, fire(0) },
    { BridgeMethod::ZoomOut, "zoomOut", BridgeMethodGroup::System, fire(0) },
    { BridgeMethod::ZoomReset, "zoomReset", BridgeMethodGroup::System, fire(0) },
    { BridgeMethod::GetZoomFactor, "getZoomFactor", BridgeMethodGroup::System, invoke(0) },
    { BridgeMethod::SetAudioMuted, "setAudioMuted", BridgeMethodGroup::System, fire(1) },
    { BridgeMethod::GetAudioMuted, "getAudioMuted", BridgeMethodGroup::System, invoke(0) },
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

BridgePageCall pageCallOf(BridgeMethod method)
{
    return methodTable[static_cast<std::size_t>(method)].pageCall;
}

const std::array<BridgeMethod, bridgeMethodCount>& allBridgeMethods()
{
    return methodList;
}

} // namespace quorin
