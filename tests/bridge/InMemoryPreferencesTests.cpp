// The preferences kept while there is no store follow the store's value rules and theme cap,
// so a page cannot grow them without bound.

#include "bridge/InMemoryPreferences.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

namespace quorin {
namespace {

using json = nlohmann::json;

json themesOf(const InMemoryPreferences& preferences)
{
    return json::parse(preferences.snapshot().jsonText())["playBackgroundThemesByServer"];
}

void setTheme(InMemoryPreferences& preferences, std::string id, std::string url)
{
    preferences.setPlayBackgroundTheme({ BridgeValue::string(std::move(id)), BridgeValue::string(std::move(url)) });
}

TEST(InMemoryPreferences, KeepsOnlyValidThemesUnderTheCap)
{
    struct Case {
        const char* id;
        const char* url;
        json expected;
    };
    const Case cases[] = {
        { "  s1\n", " HTTPS://cdn.test/a.png ", { { "s1", "HTTPS://cdn.test/a.png" } } },
        { " \t", "https://cdn.test/a.png", json::object() },
        { "s1", "file:///etc/passwd", json::object() },
        { "s1", "not a url", json::object() },
    };
    for (const auto& c : cases) {
        InMemoryPreferences preferences;
        setTheme(preferences, c.id, c.url);
        EXPECT_EQ(themesOf(preferences), c.expected) << c.id << " " << c.url;
    }

    InMemoryPreferences full;
    for (int i = 0; i < 200; ++i)
        setTheme(full, "server" + std::to_string(1000 + i), "https://cdn.test/" + std::to_string(i) + ".png");
    auto themes = themesOf(full);
    ASSERT_EQ(themes.size(), 128u);
    EXPECT_FALSE(themes.contains("server1128"));
    setTheme(full, "server1000", "https://cdn.test/new.png");
    EXPECT_EQ(themesOf(full)["server1000"], "https://cdn.test/new.png");
}

TEST(InMemoryPreferences, LegacyThemesTakeTheFirst128SortedKeys)
{
    BridgeValue::Object legacyThemes;
    for (int i = 0; i < 200; ++i)
        legacyThemes.emplace("s" + std::to_string(1000 + i), BridgeValue::string("https://cdn.test/x.png"));
    legacyThemes.emplace(" s1000", BridgeValue::string("https://cdn.test/replaced.png"));
    legacyThemes.emplace("0", BridgeValue::number(1));

    InMemoryPreferences preferences;
    preferences.applyLegacy({ { "playBackgroundThemesByServer", BridgeValue::object(legacyThemes) } });
    auto themes = themesOf(preferences);
    EXPECT_EQ(themes.size(), 128u);
    // " s1000" sorts first and normalises to "s1000", which the later key then replaces.
    EXPECT_EQ(themes["s1000"], "https://cdn.test/x.png");
    // Skipped entries do not count towards the cap.
    EXPECT_TRUE(themes.contains("s1127"));
    EXPECT_FALSE(themes.contains("s1128"));
}

} // namespace
} // namespace quorin
