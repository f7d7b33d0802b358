#include "CorePrinters.h"
#include "core/Url.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>

namespace quorin {
namespace {

// The components the origin and folder checks read, as GUri hands them over; the written
// form parses back to the same value.
TEST(Url, ParsesEveryComponent)
{
    struct Case {
        const char* text;
        std::optional<std::string> host;
        std::optional<int> port;
        const char* encodedPath;
        const char* written;
    } cases[] = {
        { "HTTPS://example.com/", "example.com", std::nullopt, "/", "https://example.com/" },
        { "https://h:", "h", std::nullopt, "", "https://h" },
        { "https://h:00443", "h", 443, "", "https://h:443" },
        { "https://u:p@h/?#", "h", std::nullopt, "/", "https://u:p@h/?#" },
        { "https://h/a/./b/../c", "h", std::nullopt, "/a/./b/../c", "https://h/a/./b/../c" },
        { "https://h/%2e%2e/x%41 y", "h", std::nullopt, "/../xA%20y", "https://h/../xA%20y" },
        { "https://ex%41mple.COM/", "exAmple.COM", std::nullopt, "/", "https://exAmple.COM/" },
        { "https://\xC3\xA9.com/", "xn--9ca.com", std::nullopt, "/", "https://xn--9ca.com/" },
        { "https://[::1]:8080/x", "::1", 8080, "/x", "https://[::1]:8080/x" },
        { "https://", "", std::nullopt, "", "https://" },
        { "https:/x", std::nullopt, std::nullopt, "/x", "https:/x" },
        { "file:///tmp/x", "", std::nullopt, "/tmp/x", "file:///tmp/x" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        auto url = Url::parse(c.text);
        ASSERT_TRUE(url.has_value());
        EXPECT_EQ(url->host(), c.host);
        EXPECT_EQ(url->port(), c.port);
        EXPECT_EQ(url->percentEncodedPath(), c.encodedPath);
        EXPECT_EQ(url->string(), c.written);
        EXPECT_EQ(Url::parse(url->string()), url);
    }
    auto credentials = Url::parse("https://u:p@h/?#").value();
    EXPECT_EQ(std::tuple(credentials.user(), credentials.password(), credentials.query(), credentials.fragment()),
        std::tuple(std::optional<std::string>("u"), std::optional<std::string>("p"), std::optional<std::string>(""), std::optional<std::string>("")));
}

TEST(Url, RefusesWhatIsNotAnAbsoluteUrl)
{
    const std::string refused[] = {
        "",
        "example.com/path",
        "https://h/a%zz",
        "https://h:65536",
        "https://[::1/",
        // A decoded host that would read differently once written out again.
        "https://a%2Fb/x",
        "https://a%00b/x",
        // An encoded NUL in the path, and a NUL in the text itself.
        "https://h/a%00b",
        std::string("https://h\0.evil", 15),
    };
    for (const auto& text : refused)
        EXPECT_FALSE(Url::parse(text).has_value()) << text;
}

TEST(Url, PathAndStandardizedForm)
{
    struct Case {
        const char* text;
        const char* decodedPath;
        const char* standardized;
    } cases[] = {
        { "https://h/a%20b/%C3%A9", "/a b/\xC3\xA9", "https://h/a%20b/%C3%A9" },
        { "https://h/a%2Fb", "/a/b", "https://h/a%2Fb" },
        { "https://h/a/./b/../c", "/a/./b/../c", "https://h/a/c" },
        { "https://h/a/b/../../..", "/a/b/../../..", "https://h/" },
        { "https://h/a//../b", "/a//../b", "https://h/a/b" },
        { "https://h/a/..b/.c/c.", "/a/..b/.c/c.", "https://h/a/..b/.c/c." },
        { "https://h/a/../b?x=/../#/..", "/a/../b", "https://h/b?x=/../#/.." },
        { "file:///app/WebUI/../secret.txt", "/app/WebUI/../secret.txt", "file:///app/secret.txt" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        auto url = Url::parse(c.text);
        ASSERT_TRUE(url.has_value());
        EXPECT_EQ(url->path(), c.decodedPath);
        EXPECT_EQ(url->standardized().string(), c.standardized);
    }
}

TEST(Url, AppendingPathComponentInsertsOneSlashAndEncodes)
{
    const std::tuple<const char*, const char*, const char*> cases[] = {
        { "https://h", "api", "https://h/api" },
        { "https://h/v1/", "users", "https://h/v1/users" },
        { "https://h/a", "x/y?z#%", "https://h/a/x%2Fy%3Fz%23%25" },
        { "https://h/a?q=1#f", "b", "https://h/a/b?q=1#f" },
    };
    for (const auto& [base, component, expected] : cases) {
        auto appended = Url::parse(base)->appendingPathComponent(component);
        EXPECT_EQ(appended.string(), expected);
        EXPECT_EQ(Url::parse(appended.string()), appended);
    }
}

TEST(Url, FileURLRoundTripsThroughFilePath)
{
    for (std::string path : { "/", "/tmp/with space/Quorin 4.2.app", "/tmp/\xC3\xA9t\xC3\xA9/x.html", "/tmp/100%/a?b#c;d=e", "/tmp/trailing/" }) {
        SCOPED_TRACE(path);
        auto url = Url::fileURL(path);
        EXPECT_TRUE(url.string().starts_with("file:///"));
        EXPECT_FALSE(url.hasHost());
        EXPECT_EQ(Url::parse(url.string()), url);
        EXPECT_EQ(url.filePath(), path);
    }
    EXPECT_EQ(Url::fileURL("relative/x.json").filePath(), std::filesystem::current_path().string() + "/relative/x.json");
}

} // namespace
} // namespace quorin
