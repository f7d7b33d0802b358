#pragma once

#include <array>
#include <optional>
#include <string_view>

namespace quorin {

// The closed list of page-callable methods, in wire-table order.
enum class BridgeMethod {
    GetAppInfo,
    GetResourceCacheSize,
    GetRuntimeConfig,
    GetSystemTheme,
    ApiRequest,
    GameOpen,
    GameClose,
    LauncherUpdateGetState,
    LauncherUpdateCheck,
    LauncherUpdateDownload,
    LauncherUpdateInstall,
    PreferencesInitialize,
    PreferencesSetLocale,
    PreferencesSetAudioMuted,
    PreferencesSetPlayBackgroundTheme,
    PreferencesClearPlayBackgroundTheme,
    GetStartupURL,
    UpdateDiscordActivity,
    ClearDiscordActivity,
    SavedAccountsList,
    SavedAccountsUpsert,
    SavedAccountsRemove,
    AuthBeginExternalLogin,
    OpenExternal,
    ClearResourceCache,
    CopyText,
    ShowItemInFolder,
    WindowMinimize,
    WindowMaximize,
    WindowClose,
    WindowIsMaximized,
    ZoomIn,
    ZoomOut,
    ZoomReset,
    GetZoomFactor,
    SetAudioMuted,
    GetAudioMuted,
};

inline constexpr std::size_t bridgeMethodCount = 37;

// The component that answers a method; the host itself answers the fixed-value ones.
enum class BridgeMethodGroup {
    Host,
    API,
    Game,
    Updates,
    Preferences,
    SavedAccounts,
    DeepLinks,
    System,
};

// Exact, case-sensitive lookup of a wire string.
std::optional<BridgeMethod> bridgeMethodFromWireString(std::string_view wire);
std::string_view wireString(BridgeMethod method);
BridgeMethodGroup groupOf(BridgeMethod method);
// Every case in table order.
const std::array<BridgeMethod, bridgeMethodCount>& allBridgeMethods();

} // namespace quorin
