#include "webui/LauncherNavigationPolicy.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace quorin {
namespace {

using Decision = LauncherNavigationDecision;

// The root's path holds a space so the percent-encoded and decoded paths differ.
constexpr const char* webUIRootText = "file:///opt/Quorin%204.2.app/Contents/Resources/WebUI";
constexpr const char* uuid = "e621e1f8-c36c-495a-93fc-0c247a3e6e5f";

Url parsed(const std::string& text)
{
    auto url = Url::parse(text);
    EXPECT_TRUE(url.has_value()) << "test URL does not parse: " << text;
    return url.value_or(Url::fileURL("/unparsable-test-url"));
}

LauncherNavigationPolicy standardPolicy()
{
    return LauncherNavigationPolicy(parsed(webUIRootText), parsed("https://auth.example.com"),
        { parsed("https://Game.Example.com/"), parsed("https://cdn.example.com:8443"), parsed("https://game.example.com") });
}

const char* name(Decision decision)
{
    switch (decision) {
    case Decision::Allow:
        return "allow";
    case Decision::OpenExternal:
        return "openExternal";
    case Decision::Cancel:
        return "cancel";
    }
    return "?";
}

enum class Frame { Main, Sub, NewWindow, SubNewWindow };

struct Case {
    std::string url;
    Frame frame;
    bool clicked;
    Decision expected;
};

LauncherNavigationRequest request(const Case& c)
{
    return {
        .url = parsed(c.url),
        .isMainFrame = c.frame == Frame::Main || c.frame == Frame::NewWindow,
        .isUserInitiated = c.clicked,
        .isNewWindow = c.frame == Frame::NewWindow || c.frame == Frame::SubNewWindow,
    };
}

const std::string root = webUIRootText;
const std::string game = std::string("quorin-game://app/") + uuid;

const std::vector<Case> decisionCases = {
    // The web UI folder itself and anything below it.
    { root, Frame::Main, false, Decision::Allow },
    { root + "/", Frame::Main, false, Decision::Allow },
    { root + "/renderer/index.html", Frame::Main, false, Decision::Allow },
    { root + "/renderer/index.html#/play", Frame::Main, true, Decision::Allow },
    { root + "/renderer/index.html?lang=tr", Frame::Sub, false, Decision::Allow },
    { root + "/renderer/./assets/../index.html", Frame::Main, false, Decision::Allow },
    { root + "//renderer//index.html", Frame::Main, false, Decision::Allow },
    { "file://localhost/opt/Quorin%204.2.app/Contents/Resources/WebUI/renderer/index.html", Frame::Main, false, Decision::Allow },
    { "FILE:///opt/Quorin%204.2.app/Contents/Resources/WebUI/renderer/index.html", Frame::Main, false, Decision::Allow },
    // Parents, siblings sharing the prefix, and ways of climbing out.
    { "file:///opt/Quorin%204.2.app/Contents/Resources", Frame::Main, false, Decision::Cancel },
    { "file:///", Frame::Main, false, Decision::Cancel },
    { root + "X/renderer/index.html", Frame::Main, false, Decision::Cancel },
    { root + "/../WebUIX/index.html", Frame::Main, false, Decision::Cancel },
    { root + "/%2e%2e/launcher-config.json", Frame::Main, false, Decision::Cancel },
    { root + "/renderer%2F..%2F..%2Flauncher-config.json", Frame::Main, false, Decision::Cancel },
    { "file:///etc/passwd", Frame::Sub, true, Decision::Cancel },
    { "file://fileserver/opt/Quorin%204.2.app/Contents/Resources/WebUI/renderer/index.html", Frame::Main, false, Decision::Cancel },

    // about:blank only inside a sub-frame; every other about URL never.
    { "about:blank", Frame::Sub, false, Decision::Allow },
    { "about:blank", Frame::Main, false, Decision::Cancel },
    { "about:blank", Frame::NewWindow, true, Decision::Cancel },
    { "about:blank#top", Frame::Sub, false, Decision::Cancel },
    { "about:blank?x", Frame::Sub, false, Decision::Cancel },
    { "about:srcdoc", Frame::Sub, false, Decision::Cancel },

    // The game host page: a sub-frame, host "app", UUID / host / index.html and nothing else.
    { game + "/host/index.html", Frame::Sub, false, Decision::Allow },
    { "quorin-game://app/E621E1F8-C36C-495A-93FC-0C247A3E6E5F/host/index.html", Frame::Sub, false, Decision::Allow },
    { "QUORIN-GAME://app/" + std::string(uuid) + "/host/index.html", Frame::Sub, false, Decision::Allow },
    { "quorin-game://app//" + std::string(uuid) + "//host/index.html/", Frame::Sub, false, Decision::Allow },
    { game + "/host/index.html", Frame::Main, false, Decision::Cancel },
    { game + "/host/index.html", Frame::NewWindow, true, Decision::Cancel },
    { game + "/host/index.html", Frame::SubNewWindow, false, Decision::Cancel },
    { game + "/host/index.html?", Frame::Sub, false, Decision::Cancel },
    { game + "/host/index.html#frame", Frame::Sub, false, Decision::Cancel },
    { "quorin-game://app:8080/" + std::string(uuid) + "/host/index.html", Frame::Sub, false, Decision::Cancel },
    { "quorin-game://@app/" + std::string(uuid) + "/host/index.html", Frame::Sub, false, Decision::Cancel },
    { "quorin-game://APP/" + std::string(uuid) + "/host/index.html", Frame::Sub, false, Decision::Cancel },
    { "quorin-game://game/" + std::string(uuid) + "/host/index.html", Frame::Sub, false, Decision::Cancel },
    { "quorin-game://app/e621e1f8-c36c-495a-93fc-0c247a3e6e5/host/index.html", Frame::Sub, false, Decision::Cancel },
    { "quorin-game://app/g621e1f8-c36c-495a-93fc-0c247a3e6e5f/host/index.html", Frame::Sub, false, Decision::Cancel },
    { "quorin-game://app/e621e1f8c36c495a93fc0c247a3e6e5f/host/index.html", Frame::Sub, false, Decision::Cancel },
    { "quorin-game://app/{e621e1f8-c36c-495a-93fc-0c247a3e6e5f}/host/index.html", Frame::Sub, false, Decision::Cancel },
    { game + "/host/index.html/extra", Frame::Sub, false, Decision::Cancel },
    { game + "/host/session.json", Frame::Sub, false, Decision::Cancel },
    { game + "/Host/index.html", Frame::Sub, false, Decision::Cancel },
    { game + "/host/./index.html", Frame::Sub, false, Decision::Cancel },
    { game + "/host/index%2Ehtml", Frame::Sub, false, Decision::Allow }, // an escaped unreserved character is the same URL
    { game + "/host%2Findex.html", Frame::Sub, false, Decision::Cancel },
    { "quorin-game://app/host/" + std::string(uuid) + "/index.html", Frame::Sub, false, Decision::Cancel },

    // Trusted HTTPS origins load in every frame; the port must match exactly.
    { "https://auth.example.com", Frame::Main, false, Decision::Allow },
    { "https://auth.example.com/login?next=%2F#top", Frame::Main, true, Decision::Allow },
    { "HTTPS://AUTH.Example.COM/login", Frame::Main, false, Decision::Allow },
    { "https://game.example.com/play", Frame::Sub, false, Decision::Allow },
    { "https://cdn.example.com:8443/movie.swf", Frame::Sub, false, Decision::Allow },
    { "https://auth.example.com:443/login", Frame::Main, true, Decision::OpenExternal },
    { "https://auth.example.com:443/login", Frame::Main, false, Decision::Cancel },
    { "https://cdn.example.com/movie.swf", Frame::Sub, true, Decision::OpenExternal },
    { "https://auth.example.com.evil.test/", Frame::Main, true, Decision::OpenExternal },
    { "https://sub.auth.example.com/", Frame::Main, false, Decision::Cancel },
    { "https://auth.example.com", Frame::NewWindow, true, Decision::Allow },

    // Untrusted web and mail links: opened outside when clicked, otherwise dropped.
    { "https://news.example.org/article", Frame::Main, true, Decision::OpenExternal },
    { "https://news.example.org/article", Frame::NewWindow, true, Decision::OpenExternal },
    { "https://news.example.org/article", Frame::Main, false, Decision::Cancel },
    { "https://news.example.org/article", Frame::NewWindow, false, Decision::Cancel },
    { "http://auth.example.com/login", Frame::Main, true, Decision::OpenExternal },
    { "http://auth.example.com/login", Frame::Main, false, Decision::Cancel },
    { "mailto:support@example.com", Frame::Main, true, Decision::OpenExternal },
    { "MAILTO:support@example.com", Frame::NewWindow, true, Decision::OpenExternal },
    { "mailto:support@example.com", Frame::Main, false, Decision::Cancel },

    // Every other scheme is refused, clicked or not.
    { "ftp://files.example.com/pub", Frame::Main, true, Decision::Cancel },
    { "javascript:alert(1)", Frame::Main, true, Decision::Cancel },
    { "data:text/html,hello", Frame::Sub, true, Decision::Cancel },
    { "quorin42://auth?code=abc", Frame::Main, true, Decision::Cancel },
};

TEST(LauncherNavigationPolicyTests, DecidesEveryRowOfTheTable)
{
    const auto policy = standardPolicy();
    for (const auto& c : decisionCases) {
        auto decision = policy.decision(request(c));
        EXPECT_EQ(decision, c.expected) << c.url << " frame=" << static_cast<int>(c.frame) << " clicked=" << c.clicked
                                        << ": got " << name(decision) << ", expected " << name(c.expected);
    }
}

struct OriginCase {
    std::string description;
    std::string authOrigin;
    std::vector<std::string> gameOrigins;
    std::vector<NavigationOrigin> expectedTrusted;
};

TEST(LauncherNavigationPolicyTests, BuildsTheTrustedOriginSet)
{
    const std::vector<OriginCase> cases = {
        { "auth first, then games in order, lower-cased", "https://Auth.Example.com", { "HTTPS://GAME.example.com", "https://cdn.example.com:8443/" },
            { { "https", "auth.example.com", std::nullopt }, { "https", "game.example.com", std::nullopt }, { "https", "cdn.example.com", 8443 } } },
        { "duplicates collapse, port 443 stays distinct", "https://auth.example.com", { "https://auth.example.com/", "https://AUTH.example.com", "https://auth.example.com:443" },
            { { "https", "auth.example.com", std::nullopt }, { "https", "auth.example.com", 443 } } },
        { "a user is skipped", "https://player@auth.example.com", { "https://game.example.com" },
            { { "https", "game.example.com", std::nullopt } } },
        { "a password is skipped", "https://auth.example.com", { "https://:hunter2@game.example.com", "https://cdn.example.com" },
            { { "https", "auth.example.com", std::nullopt }, { "https", "cdn.example.com", std::nullopt } } },
        { "an empty user part is skipped", "https://@auth.example.com", {}, {} },
        { "no host is skipped", "mailto:auth@example.com", { "https://", "https://game.example.com" },
            { { "https", "game.example.com", std::nullopt } } },
    };
    for (const auto& c : cases) {
        std::vector<Url> games;
        for (const auto& text : c.gameOrigins)
            games.push_back(parsed(text));
        LauncherNavigationPolicy policy(parsed(webUIRootText), parsed(c.authOrigin), games);
        EXPECT_EQ(policy.trustedWebOrigins(), c.expectedTrusted) << c.description;
    }
}

TEST(LauncherNavigationPolicyTests, AnOriginWithCredentialsIsNotTrustedForNavigation)
{
    LauncherNavigationPolicy policy(parsed(webUIRootText), parsed("https://player:pw@auth.example.com"), { parsed("https://game.example.com") });

    EXPECT_EQ(policy.decision({ .url = parsed("https://auth.example.com/login"), .isMainFrame = true, .isUserInitiated = true }), Decision::OpenExternal);
    EXPECT_EQ(policy.decision({ .url = parsed("https://auth.example.com/login"), .isMainFrame = false }), Decision::Cancel);
    EXPECT_EQ(policy.decision({ .url = parsed("https://game.example.com/"), .isMainFrame = true }), Decision::Allow);
}

TEST(LauncherNavigationPolicyTests, NormalisesTheWebUIRoot)
{
    // A root written with dot segments and a trailing slash names the same folder.
    LauncherNavigationPolicy policy(parsed("file:///srv/app/Resources/Extra/../WebUI/"), parsed("https://auth.example.com"), {});
    EXPECT_EQ(policy.webUIRoot(), parsed("file:///srv/app/Resources/WebUI/"));

    EXPECT_EQ(policy.decision({ .url = parsed("file:///srv/app/Resources/WebUI/renderer/index.html") }), Decision::Allow);
    EXPECT_EQ(policy.decision({ .url = parsed("file:///srv/app/Resources/WebUI") }), Decision::Allow);
    EXPECT_EQ(policy.decision({ .url = parsed("file:///srv/app/Resources/Extra/index.html") }), Decision::Cancel);
    EXPECT_EQ(policy.decision({ .url = parsed("file:///srv/app/Resources/WebUIs/index.html") }), Decision::Cancel);
}

TEST(LauncherNavigationPolicyTests, ARootThatIsNotALocalFileAdmitsNoFile)
{
    LauncherNavigationPolicy policy(parsed("https://auth.example.com/WebUI"), parsed("https://auth.example.com"), {});
    EXPECT_EQ(policy.decision({ .url = parsed("file:///WebUI/index.html") }), Decision::Cancel);
    EXPECT_EQ(policy.decision({ .url = parsed("https://auth.example.com/WebUI") }), Decision::Allow);
}

} // namespace
} // namespace quorin
