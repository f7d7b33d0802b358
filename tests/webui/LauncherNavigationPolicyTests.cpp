#include "webui/LauncherNavigationPolicy.h"

#include <gtest/gtest.h>

#include <vector>

namespace quorin {
namespace {

using Decision = LauncherNavigationDecision;

// The root's path holds a space so the percent-encoded and decoded paths differ.
const std::string root = "file:///opt/Quorin%204.2.app/Contents/Resources/WebUI";
const std::string uuid = "e621e1f8-c36c-495a-93fc-0c247a3e6e5f";
const std::string game = "quorin-game://app/" + uuid;

enum class Frame { Main, Sub, NewWindow, SubNewWindow };

struct Case { std::string url; Frame frame; bool clicked; Decision expected; };

Url parsed(const std::string& text) { return Url::parse(text).value(); }

void expectDecisions(const LauncherNavigationPolicy& policy, const std::vector<Case>& cases)
{
    const char* names[] = { "allow", "openExternal", "cancel" };
    for (const auto& [url, frame, clicked, expected] : cases) {
        bool main = frame == Frame::Main || frame == Frame::NewWindow, newWindow = frame == Frame::NewWindow || frame == Frame::SubNewWindow;
        auto decision = policy.decision({ .url = parsed(url), .isMainFrame = main, .isUserInitiated = clicked, .isNewWindow = newWindow });
        EXPECT_STREQ(names[static_cast<int>(decision)], names[static_cast<int>(expected)]) << url << " frame " << static_cast<int>(frame) << (clicked ? " clicked" : "");
    }
}

TEST(LauncherNavigationPolicy, DecidesEveryRowOfTheTable)
{
    LauncherNavigationPolicy policy(parsed(root), parsed("https://auth.example.com"),
        { parsed("https://Game.Example.com/"), parsed("https://cdn.example.com:8443"), parsed("https://game.example.com") });
    expectDecisions(policy, {
        // File URLs go to the folder rule (its rows: LocalFolderCases.h).
        { root, Frame::Main, false, Decision::Allow },
        { "file:///opt/Quorin%204.2.app/Contents/Resources", Frame::Main, false, Decision::Cancel },
        // about:blank only inside a sub-frame (the web view tests load it in both); every other about URL never.
        { "about:blank#top", Frame::Sub, false, Decision::Cancel },
        // The game host page: a sub-frame, host "app", <UUID>/host/index.html and nothing else.
        { game + "/host/index.html", Frame::Sub, false, Decision::Allow },
        { "quorin-game://app//" + uuid + "//host/index.html/", Frame::Sub, false, Decision::Allow },
        { game + "/host/index.html", Frame::Main, false, Decision::Cancel },
        { game + "/host/index.html", Frame::SubNewWindow, false, Decision::Cancel },
        { game + "/host/index.html?", Frame::Sub, false, Decision::Cancel },
        { "quorin-game://app:8080/" + uuid + "/host/index.html", Frame::Sub, false, Decision::Cancel },
        { "quorin-game://APP/" + uuid + "/host/index.html", Frame::Sub, false, Decision::Cancel },
        { "quorin-game://app/" + uuid.substr(1) + "/host/index.html", Frame::Sub, false, Decision::Cancel },
        { game + "/host/index.html/extra", Frame::Sub, false, Decision::Cancel },
        { game + "/host/session.json", Frame::Sub, false, Decision::Cancel },
        { game + "/host%2Findex.html", Frame::Sub, false, Decision::Cancel },
        // Trusted origins load in every frame, whatever the host's case; the port must match.
        { "HTTPS://AUTH.Example.COM/login", Frame::Main, false, Decision::Allow },
        { "https://cdn.example.com:8443/movie.swf", Frame::Sub, false, Decision::Allow },
        { "https://auth.example.com", Frame::NewWindow, true, Decision::Allow },
        { "https://auth.example.com:443/login", Frame::Main, true, Decision::OpenExternal },
        { "https://auth.example.com.evil.test/", Frame::Main, true, Decision::OpenExternal },
        // Untrusted web and mail links: opened outside when clicked, otherwise dropped (the web view tests).
        { "https://news.example.org/article", Frame::NewWindow, true, Decision::OpenExternal },
        { "http://auth.example.com/login", Frame::Main, true, Decision::OpenExternal },
        { "mailto:support@example.com", Frame::Main, true, Decision::OpenExternal },
        { "javascript:alert(1)", Frame::Main, true, Decision::Cancel }, // every other scheme, even clicked
    });
}

// Origins with a user or password are never trusted; a root written with dot segments names
// the folder it resolves to; a root that is no local file admits no file.
TEST(LauncherNavigationPolicy, BuildsItsTrustFromTheGivenURLs)
{
    expectDecisions(LauncherNavigationPolicy(parsed(root), parsed("https://player:pw@auth.example.com"), { parsed("https://@game.example.com"), parsed("https://cdn.example.com") }), {
        { "https://auth.example.com/login", Frame::Sub, false, Decision::Cancel },
        { "https://game.example.com/", Frame::Sub, false, Decision::Cancel },
        { "https://cdn.example.com/", Frame::Sub, false, Decision::Allow },
    });
    expectDecisions(LauncherNavigationPolicy(parsed("file:///srv/app/Extra/../WebUI/"), parsed("https://auth.example.com"), {}), {
        { "file:///srv/app/WebUI", Frame::Main, false, Decision::Allow },
        { "file:///srv/app/Extra/index.html", Frame::Main, false, Decision::Cancel },
    });
    expectDecisions(LauncherNavigationPolicy(parsed("https://auth.example.com/WebUI"), parsed("https://auth.example.com"), {}), {
        { "file:///WebUI/index.html", Frame::Main, false, Decision::Cancel },
    });
}

} // namespace
} // namespace quorin
