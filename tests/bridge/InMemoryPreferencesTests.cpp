// The preferences kept while there is no store hold at most 128 themes, like the store.

#include "bridge/InMemoryPreferences.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

namespace quorin {
namespace {

nlohmann::json themesOf(const InMemoryPreferences& preferences) { return nlohmann::json::parse(preferences.snapshot().jsonText())["playBackgroundThemesByServer"]; }

TEST(InMemoryPreferences, ThemesSetOneByOneStopAtTheCapButStillReplace)
{
    InMemoryPreferences full;
    auto setTheme = [&](std::string id, std::string url) { full.setPlayBackgroundTheme({ BridgeValue::string(id), BridgeValue::string(url) }); };
    for (int i = 0; i < 200; ++i)
        setTheme("server" + std::to_string(1000 + i), "https://cdn.test/" + std::to_string(i) + ".png");
    ASSERT_EQ(themesOf(full).size(), 128u);
    EXPECT_FALSE(themesOf(full).contains("server1128"));
    setTheme("server1000", "https://cdn.test/new.png");
    EXPECT_EQ(themesOf(full)["server1000"], "https://cdn.test/new.png");
}

TEST(InMemoryPreferences, LegacyThemesTakeTheFirst128SortedValidKeys)
{
    BridgeValue::Object legacyThemes { { " s1000", BridgeValue::string("https://cdn.test/replaced.png") }, { "0", BridgeValue::number(1) } };
    for (int i = 0; i < 200; ++i)
        legacyThemes.emplace("s" + std::to_string(1000 + i), BridgeValue::string("https://cdn.test/x.png"));
    InMemoryPreferences preferences;
    preferences.applyLegacy({ { "playBackgroundThemesByServer", BridgeValue::object(legacyThemes) } });
    auto themes = themesOf(preferences);
    EXPECT_EQ(themes.size(), 128u);
    EXPECT_EQ(themes["s1000"], "https://cdn.test/x.png"); // " s1000" sorts first; the later "s1000" replaces it
    EXPECT_TRUE(themes.contains("s1127")); // the skipped "0" does not count
    EXPECT_FALSE(themes.contains("s1128"));
}

} // namespace
} // namespace quorin
