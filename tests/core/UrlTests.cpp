#include "CorePrinters.h"
#include "core/Url.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>

namespace quorin {
namespace {

// The written form parses back to the same value.
TEST(Url, ParsesEveryComponent)
{
    const std::tuple<const char*, std::optional<std::string>, std::optional<int>, const char*, const char*> cases[] = {
        { "HTTPS://example.com/", "example.com", std::nullopt, "/", "https://example.com/" },
        { "https://h:00443", "h", 443, "", "https://h:443" },
        { "https://h/%2e%2e/x%41 y", "h", std::nullopt, "/../xA%20y", "https://h/../xA%20y" },
        { "https://\xC3\xA9.com/", "xn--9ca.com", std::nullopt, "/", "https://xn--9ca.com/" },
        { "https://[::1]:8080/x", "::1", 8080, "/x", "https://[::1]:8080/x" },
        { "https:/x", std::nullopt, std::nullopt, "/x", "https:/x" },
        { "file:///tmp/x", "", std::nullopt, "/tmp/x", "file:///tmp/x" },
    };
    for (const auto& [text, host, port, encodedPath, written] : cases) {
        auto url = Url::parse(text);
        ASSERT_TRUE(url.has_value()) << text;
        EXPECT_EQ(std::tuple(url->host(), url->port(), url->percentEncodedPath(), url->string()), std::tuple(host, port, encodedPath, written)) << text;
        EXPECT_EQ(Url::parse(url->string()), url);
    }
    auto credentials = Url::parse("https://u:p@h/?#").value();
    EXPECT_EQ(credentials.user().value_or("") + credentials.password().value_or("") + credentials.query().value_or("?") + credentials.fragment().value_or("#"), "up");
}

TEST(Url, RefusesWhatIsNotAnAbsoluteUrl)
{
    // Hosts that would read differently once written out again; NULs encoded or in the text.
    const std::string refused[] = { "", "https://h/a%zz", "https://h:65536", "https://a%2Fb/x", "https://a%00b/x", "https://h/a%00b", std::string("https://h\0.evil", 15) };
    for (const auto& text : refused)
        EXPECT_FALSE(Url::parse(text).has_value()) << text;
}

TEST(Url, PathAndStandardizedForm)
{
    const std::tuple<const char*, const char*, const char*> cases[] = {
        { "https://h/a%20b/%C3%A9", "/a b/\xC3\xA9", "https://h/a%20b/%C3%A9" },
        { "https://h/a/./b/../c", "/a/./b/../c", "https://h/a/c" },
        { "https://h/a//../b", "/a//../b", "https://h/a/b" },
        { "https://h/a/../b?x=/../#/..", "/a/../b", "https://h/b?x=/../#/.." },
    };
    for (const auto& [text, decodedPath, standardized] : cases) {
        auto url = Url::parse(text);
        ASSERT_TRUE(url.has_value()) << text;
        EXPECT_EQ(url->path() + " " + url->standardized().string(), std::string(decodedPath) + " " + standardized);
    }
}

TEST(Url, AppendingPathComponentInsertsOneSlashAndEncodes)
{
    EXPECT_EQ(Url::parse("https://h/a")->appendingPathComponent("x/y?z#%").string(), "https://h/a/x%2Fy%3Fz%23%25");
    EXPECT_EQ(Url::parse("https://h/a?q=1#f")->appendingPathComponent("b").string(), "https://h/a/b?q=1#f");
}

TEST(Url, FileURLRoundTripsThroughFilePath)
{
    for (std::string path : { "/", "/tmp/with space/Quorin 4.2.app", "/tmp/\xC3\xA9t\xC3\xA9/x.html", "/tmp/100%/a?b#c;d=e", "/tmp/trailing/" }) {
        auto url = Url::fileURL(path);
        EXPECT_TRUE(url.string().starts_with("file:///") && !url.hasHost()) << path;
        EXPECT_EQ(Url::parse(url.string()), url);
        EXPECT_EQ(url.filePath(), path);
    }
    EXPECT_EQ(Url::fileURL("relative/x.json").filePath(), std::filesystem::current_path().string() + "/relative/x.json");
}

} // namespace
} // namespace quorin
