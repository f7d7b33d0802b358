#include "bridge/BridgeMethod.h"

#include <gtest/gtest.h>

#include <cctype>
#include <set>
#include <string>

namespace quorin {
namespace {

using namespace std::string_literals;

// The page sends these strings; a typo here would make a method unreachable.
constexpr std::string_view expectedWireStrings[] = {
    "getAppInfo", "getResourceCacheSize", "getRuntimeConfig", "getSystemTheme", "api.request", "game.open", "game.close",
    "launcherUpdates.getState", "launcherUpdates.check", "launcherUpdates.download", "launcherUpdates.install",
    "preferences.initialize", "preferences.setLocale", "preferences.setAudioMuted", "preferences.setPlayBackgroundTheme",
    "preferences.clearPlayBackgroundTheme", "getStartupUrl", "updateDiscordActivity", "clearDiscordActivity",
    "savedAccounts.list", "savedAccounts.upsert", "savedAccounts.remove", "auth.beginExternalLogin", "openExternal",
    "clearResourceCache", "copyText", "showItemInFolder", "windowMinimize", "windowMaximize", "windowClose",
    "windowIsMaximized", "zoomIn", "zoomOut", "zoomReset", "getZoomFactor", "setAudioMuted", "getAudioMuted",
};

TEST(BridgeMethod, ListsEveryMethodInTableOrderWithItsWireString)
{
    const auto& methods = allBridgeMethods();
    ASSERT_EQ(methods.size(), std::size(expectedWireStrings));
    std::set<BridgeMethod> distinct(methods.begin(), methods.end());
    EXPECT_EQ(distinct.size(), methods.size());
    for (std::size_t i = 0; i < methods.size(); ++i) {
        EXPECT_EQ(wireString(methods[i]), expectedWireStrings[i]) << i;
        EXPECT_EQ(bridgeMethodFromWireString(expectedWireStrings[i]), methods[i]) << expectedWireStrings[i];
    }
    EXPECT_EQ(methods.front(), BridgeMethod::GetAppInfo);
    EXPECT_EQ(methods[16], BridgeMethod::GetStartupURL);
    EXPECT_EQ(methods.back(), BridgeMethod::GetAudioMuted);
}

TEST(BridgeMethod, LookupIsExactAndCaseSensitive)
{
    for (std::string_view wire : expectedWireStrings) {
        std::string upper(wire);
        upper[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(upper[0])));
        std::string lastChanged(wire);
        lastChanged.back() = static_cast<char>(std::toupper(static_cast<unsigned char>(lastChanged.back())));
        for (const std::string& near : { upper, lastChanged, std::string(wire) + " ", " " + std::string(wire), std::string(wire.substr(0, wire.size() - 1)), std::string(wire) + "\0"s })
            EXPECT_FALSE(bridgeMethodFromWireString(near).has_value()) << '"' << near << '"';
    }
    for (std::string_view other : { "", "getStartupURL", "api", "game", "launcherUpdates.", "electronAPI.getAppInfo" })
        EXPECT_FALSE(bridgeMethodFromWireString(other).has_value()) << other;
}

} // namespace
} // namespace quorin
