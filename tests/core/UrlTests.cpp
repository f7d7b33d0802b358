#include "CorePrinters.h"
#include "core/Url.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>

namespace quorin {
namespace {

using Text = std::optional<std::string>;
constexpr auto none = std::nullopt;

struct ParseCase {
    std::string text;
    std::string scheme;
    Text user;
    Text password;
    Text host;
    std::optional<int> port;
    std::string encodedPath;
    Text query;
    Text fragment;
    std::string written; // string() of the parsed value
};

const ParseCase parseCases[] = {
    { "https://example.com", "https", none, none, "example.com", none, "", none, none, "https://example.com" },
    { "HTTPS://example.com/", "https", none, none, "example.com", none, "/", none, none, "https://example.com/" },
    { "https://h:443", "https", none, none, "h", 443, "", none, none, "https://h:443" },
    { "https://h:", "https", none, none, "h", none, "", none, none, "https://h" },
    { "https://h:0", "https", none, none, "h", 0, "", none, none, "https://h:0" },
    { "https://h:00443", "https", none, none, "h", 443, "", none, none, "https://h:443" },
    { "https://u:p@h/", "https", "u", "p", "h", none, "/", none, none, "https://u:p@h/" },
    { "https://u@h", "https", "u", none, "h", none, "", none, none, "https://u@h" },
    { "https://@h", "https", "", none, "h", none, "", none, none, "https://@h" },
    { "https://:p@h", "https", "", "p", "h", none, "", none, none, "https://:p@h" },
    { "https://u%40x:p%3A@h", "https", "u%40x", "p%3A", "h", none, "", none, none, "https://u%40x:p%3A@h" },
    { "https://h?", "https", none, none, "h", none, "", "", none, "https://h?" },
    { "https://h#", "https", none, none, "h", none, "", none, "", "https://h#" },
    { "https://h/p?a=1&b=2#frag", "https", none, none, "h", none, "/p", "a=1&b=2", "frag", "https://h/p?a=1&b=2#frag" },
    { "https://h/#a#b", "https", none, none, "h", none, "/", none, "a#b", "https://h/#a#b" },
    { "https://h/a%2Fb", "https", none, none, "h", none, "/a%2Fb", none, none, "https://h/a%2Fb" },
    { "https://h/a b", "https", none, none, "h", none, "/a%20b", none, none, "https://h/a%20b" },
    { "https://h/\xC3\xA9", "https", none, none, "h", none, "/%C3%A9", none, none, "https://h/%C3%A9" },
    // Dot segments stay until standardized(); escaped unreserved characters are decoded.
    { "https://h/a/./b/../c", "https", none, none, "h", none, "/a/./b/../c", none, none, "https://h/a/./b/../c" },
    { "https://h/%2e%2e/x", "https", none, none, "h", none, "/../x", none, none, "https://h/../x" },
    { "https://Example.COM/", "https", none, none, "Example.COM", none, "/", none, none, "https://Example.COM/" },
    { "https://ex%41mple.com/", "https", none, none, "exAmple.com", none, "/", none, none, "https://exAmple.com/" },
    { "https://\xC3\xA9.com/", "https", none, none, "xn--9ca.com", none, "/", none, none, "https://xn--9ca.com/" },
    { "https://[::1]:8080/x", "https", none, none, "::1", 8080, "/x", none, none, "https://[::1]:8080/x" },
    { "https://", "https", none, none, "", none, "", none, none, "https://" },
    { "https:", "https", none, none, none, none, "", none, none, "https:" },
    { "https:/x", "https", none, none, none, none, "/x", none, none, "https:/x" },
    { "mailto:a@b", "mailto", none, none, none, none, "a@b", none, none, "mailto:a@b" },
    { "about:blank", "about", none, none, none, none, "blank", none, none, "about:blank" },
    { "file:///tmp/x", "file", none, none, "", none, "/tmp/x", none, none, "file:///tmp/x" },
    { "quorin-game://app/abc/host/index.html", "quorin-game", none, none, "app", none, "/abc/host/index.html", none, none,
        "quorin-game://app/abc/host/index.html" },
};

TEST(Url, ParsesEveryComponent)
{
    for (const auto& testCase : parseCases) {
        SCOPED_TRACE(testCase.text);
        auto url = Url::parse(testCase.text);
        ASSERT_TRUE(url.has_value());
        EXPECT_EQ(url->scheme(), testCase.scheme);
        EXPECT_EQ(url->user(), testCase.user);
        EXPECT_EQ(url->password(), testCase.password);
        EXPECT_EQ(url->host(), testCase.host);
        EXPECT_EQ(url->port(), testCase.port);
        EXPECT_EQ(url->percentEncodedPath(), testCase.encodedPath);
        EXPECT_EQ(url->query(), testCase.query);
        EXPECT_EQ(url->fragment(), testCase.fragment);
        EXPECT_EQ(url->string(), testCase.written);
    }
}

TEST(Url, WrittenFormParsesToTheSameValue)
{
    for (const auto& testCase : parseCases) {
        SCOPED_TRACE(testCase.text);
        auto url = Url::parse(testCase.text);
        ASSERT_TRUE(url.has_value());
        auto again = Url::parse(url->string());
        ASSERT_TRUE(again.has_value());
        EXPECT_EQ(*again, *url);
    }
}

TEST(Url, RefusesWhatIsNotAnAbsoluteUrl)
{
    const std::string refused[] = {
        "",
        "example.com/path",
        "//h/a",
        " https://h",
        "ht tp://h",
        "https://h/a%zz",
        "https://h/a?q=%zz",
        "https://h%/",
        "https://h:65536",
        "https://h:x",
        "https://[::1/",
        "https://[v1.x]/",
        // A decoded host that would read differently once written out again.
        "https://a%2Fb/x",
        "https://a%40b/x",
        "https://a%3Ab/x",
        "https://a%00b/x",
        // An encoded NUL in the path, and a NUL in the text itself.
        "https://h/a%00b",
        std::string("https://h/a\0b", 13),
        std::string("https://h\0.evil", 15),
    };
    for (const auto& text : refused) {
        SCOPED_TRACE(text);
        EXPECT_FALSE(Url::parse(text).has_value());
    }
}

TEST(Url, HasHostOnlyForANonEmptyAuthorityHost)
{
    struct Case {
        const char* text;
        bool hasHost;
    } cases[] = {
        { "https://h", true },
        { "https://[::1]", true },
        { "https://", false },
        { "https:", false },
        { "https:/x", false },
        { "file:///x", false },
        { "mailto:a@b", false },
    };
    for (const auto& testCase : cases) {
        SCOPED_TRACE(testCase.text);
        auto url = Url::parse(testCase.text);
        ASSERT_TRUE(url.has_value());
        EXPECT_EQ(url->hasHost(), testCase.hasHost);
    }
}

TEST(Url, PathDecodesEscapes)
{
    struct Case {
        const char* text;
        const char* decodedPath;
    } cases[] = {
        { "https://h", "" },
        { "https://h/", "/" },
        { "https://h/a%20b/%C3%A9", "/a b/\xC3\xA9" },
        { "https://h/a%2Fb", "/a/b" },
        { "https://h/100%25", "/100%" },
        { "https://h/%252F", "/%2F" },
    };
    for (const auto& testCase : cases) {
        SCOPED_TRACE(testCase.text);
        auto url = Url::parse(testCase.text);
        ASSERT_TRUE(url.has_value());
        EXPECT_EQ(url->path(), testCase.decodedPath);
    }
}

TEST(Url, EqualityComparesComponentsAsParsed)
{
    auto url = [](const char* text) { return Url::parse(text).value(); };
    EXPECT_EQ(url("HTTPS://h/x"), url("https://h/x"));
    EXPECT_NE(url("https://h"), url("https://h/"));
    EXPECT_NE(url("https://h"), url("https://h:443"));
    EXPECT_NE(url("https://h"), url("https://h?"));
    EXPECT_NE(url("https://h"), url("https://h#"));
    EXPECT_NE(url("https://h"), url("https://@h"));
    EXPECT_NE(url("https://h/a"), url("https://H/a"));
}

TEST(Url, StandardizedRemovesDotSegments)
{
    struct Case {
        const char* text;
        const char* standardized;
    } cases[] = {
        { "https://h/a/./b/../c", "https://h/a/c" },
        { "https://h/a/b/../../..", "https://h/" },
        { "https://h/../../x", "https://h/x" },
        { "https://h/..", "https://h/" },
        { "https://h/.", "https://h/" },
        { "https://h/a/b/..", "https://h/a/" },
        { "https://h/a/b/.", "https://h/a/b/" },
        { "https://h/a//../b", "https://h/a/b" },
        { "https://h/a/..b/.c/c.", "https://h/a/..b/.c/c." },
        { "https://h/a/%2e%2E/b", "https://h/b" },
        { "https://h/a/../b?x=/../#/..", "https://h/b?x=/../#/.." },
        { "https://h", "https://h" },
        { "file:///app/WebUI/../secret.txt", "file:///app/secret.txt" },
        { "file:///app/WebUI/renderer/./index.html", "file:///app/WebUI/renderer/index.html" },
    };
    for (const auto& testCase : cases) {
        SCOPED_TRACE(testCase.text);
        auto url = Url::parse(testCase.text);
        ASSERT_TRUE(url.has_value());
        EXPECT_EQ(url->standardized().string(), testCase.standardized);
        // Already standard: a second pass changes nothing.
        EXPECT_EQ(url->standardized().standardized(), url->standardized());
    }
}

TEST(Url, AppendingPathComponentInsertsOneSlashAndEncodes)
{
    struct Case {
        const char* base;
        std::string component;
        const char* result;
    } cases[] = {
        { "https://h", "api", "https://h/api" },
        { "https://h/", "api", "https://h/api" },
        { "https://h/v1/", "users", "https://h/v1/users" },
        { "https://h/a", "x/y", "https://h/a/x%2Fy" },
        { "https://h/a", "a?b#c%", "https://h/a/a%3Fb%23c%25" },
        { "https://h/a", "\xC3\xA9", "https://h/a/%C3%A9" },
        { "https://h/a", "k=v;p:q@r", "https://h/a/k=v;p:q@r" },
        { "https://h/a", "", "https://h/a/" },
        { "https://h/a?q=1#f", "b", "https://h/a/b?q=1#f" },
        { "file:///dir", "index.html", "file:///dir/index.html" },
    };
    for (const auto& testCase : cases) {
        SCOPED_TRACE(std::string(testCase.base) + " + " + testCase.component);
        auto url = Url::parse(testCase.base);
        ASSERT_TRUE(url.has_value());
        auto appended = url->appendingPathComponent(testCase.component);
        EXPECT_EQ(appended.string(), testCase.result);
        EXPECT_EQ(Url::parse(appended.string()), appended);
    }
}

TEST(Url, AppendedComponentDecodesBackUnchanged)
{
    auto url = Url::parse("https://h/root").value().appendingPathComponent("a b/c%d?");
    EXPECT_EQ(url.path(), "/root/a b/c%d?");
}

TEST(Url, FileURLRoundTripsThroughFilePath)
{
    const std::string paths[] = {
        "/",
        "/tmp/plain.txt",
        "/tmp/with space/Quorin 4.2.app/Contents",
        "/tmp/\xC3\xA9t\xC3\xA9/\xE6\x97\xA5\xE6\x9C\xAC.html",
        "/tmp/100%/a?b#c;d=e",
        "/tmp/trailing/",
    };
    for (const auto& path : paths) {
        SCOPED_TRACE(path);
        auto url = Url::fileURL(path);
        EXPECT_TRUE(url.isFileURL());
        EXPECT_EQ(url.host(), std::optional<std::string>(""));
        EXPECT_FALSE(url.hasHost());
        EXPECT_EQ(url.filePath(), path);
        EXPECT_TRUE(url.string().starts_with("file:///"));
        auto parsed = Url::parse(url.string());
        ASSERT_TRUE(parsed.has_value());
        EXPECT_EQ(*parsed, url);
        EXPECT_EQ(parsed->filePath(), path);
    }
}

TEST(Url, FileURLEncodesWhatWouldChangeItsMeaning)
{
    EXPECT_EQ(Url::fileURL("/tmp/a b/\xC3\xA9.html").string(), "file:///tmp/a%20b/%C3%A9.html");
    EXPECT_EQ(Url::fileURL("/tmp/100%/a?b#c").string(), "file:///tmp/100%25/a%3Fb%23c");
}

TEST(Url, FileURLOfARelativePathStartsAtTheCurrentDirectory)
{
    auto url = Url::fileURL("relative/x.json");
    EXPECT_EQ(url.filePath(), std::filesystem::current_path().string() + "/relative/x.json");
}

} // namespace
} // namespace quorin
