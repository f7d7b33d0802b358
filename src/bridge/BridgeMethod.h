#pragma once

#include <array>
#include <cstddef>
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

// How the page-side API calls a method. Its member path on the page is the wire string.
struct BridgePageCall {
    enum class Reply {
        Awaited, // the call returns a promise of the reply's value
        Dropped, // the call returns nothing and failures are swallowed
    };
    enum class MissingPayload {
        AsGiven, // a missing or falsy first argument is sent as it is
        EmptyObject, // ... is sent as {}
    };

    std::size_t argumentCount;
    Reply reply;
    MissingPayload missingPayload;
};

// Exact, case-sensitive lookup of a wire string.
std::optional<BridgeMethod> bridgeMethodFromWireString(std::string_view wire);
std::string_view wireString(BridgeMethod method);
BridgeMethodGroup groupOf(BridgeMethod method);
BridgePageCall pageCallOf(BridgeMethod method);
// Every case in table order.
const std::array<BridgeMethod, bridgeMethodCount>& allBridgeMethods();

} // namespace quorin
