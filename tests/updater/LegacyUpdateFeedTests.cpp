#include "updater/LegacyUpdateFeed.h"

#include <gtest/gtest.h>

namespace quorin {
namespace {

const auto archive = releaseArchiveName("1.4.0");
const auto digest = std::string(85, 'A') + "w==";
const auto feedURL = Url::parse("https://updates.example.com/linux/latest.yml").value();

const std::string entry = "files:\n  - url: " + archive + "\n    sha512: " + digest + "\n    size: 1234\n";
const std::string feed = "version: 1.4.0\n" + entry + "path: " + archive + "\nsha512: " + digest + "\nreleaseDate: '2026-01-02T03:04:05Z'\n";

// `text` with every `from` replaced.
std::string replaced(std::string text, std::string_view from, std::string_view to)
{
    for (auto at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
    return text;
}

TEST(LegacyUpdateFeed, AcceptsOnlyTheStrictShapeFromAPlainHTTPSURLAndTellsANewerRelease)
{
    struct Case { std::string name, text; bool accepted; };
    const Case cases[] = {
        { "sample", feed, true },
        { "Unicode line separators", replaced(feed, "\n", "\xE2\x80\xA8"), true },
        { "quotes lose one character at each end", replaced(replaced(feed, "version: 1.4.0", "version: '1.4.0'"), "url: " + archive, "url: \"" + archive + "\""), true },
        { "blank lines and no path, sha512 or date", "\n   \nversion: 1.4.0\n" + entry + "\n", true },
        { "other platforms' entries beside ours", replaced(feed, "files:\n", "files:\n  - url: Quorin42-1.4.0-mac-arm64.zip\n"), true },
        { "largest size", replaced(feed, "1234", "268435456"), true },
        { "unmatched quote kept", replaced(feed, "version: 1.4.0", "version: '1.4.0"), false },
        { "tab", replaced(feed, "size: ", "size:\t"), false },
        { "unknown key", feed + "channel: stable\n", false },
        { "files with a value", replaced(feed, "files:", "files: []"), false },
        { "other list key", replaced(feed, "- url", "- path"), false },
        { "entry field after the list closed", feed + "    size: 1234\n", false },
        { "entry key repeated", replaced(feed, "    size: 1234\n", "    size: 1234\n    size: 1234\n"), false },
        { "indent 3", replaced(feed, "    size", "   size"), false },
        { "no version", replaced(feed, "version: 1.4.0\n", ""), false },
        { "bad version", replaced(feed, "version: 1.4.0", "version: 1.4"), false },
        { "only another platform's archive", replaced(feed, "-linux-", "-mac-"), false },
        { "two entries for us", replaced(feed, "files:\n", entry), false },
        { "hexadecimal digest (96 bytes as Base64)", replaced(feed, digest, std::string(128, 'a')), false },
        { "digest without padding", replaced(feed, "w==", "w"), false },
        { "digest with spare bits", replaced(feed, "w==", "x=="), false },
        { "no digest", replaced(feed, "    sha512: " + digest + "\n", ""), false },
        { "size with leading zero", replaced(feed, "1234", "01234"), false },
        { "size 4", replaced(feed, "1234", "4"), false },
        { "size past the limit", replaced(feed, "1234", "268435457"), false },
        { "no size", replaced(feed, "    size: 1234\n", ""), false },
        { "path names another file", replaced(feed, "path: " + archive, "path: other.zip"), false },
        { "not UTF-8", feed + "releaseDate2\xFF: x\n", false },
        { "65537 bytes", feed + std::string(65537 - feed.size(), '\n'), false },
    };
    for (const auto& [name, text, accepted] : cases) {
        auto release = LegacyUpdateFeed::parse(text, feedURL);
        EXPECT_EQ(release.isError() ? release.error().code() : "accepted", accepted ? "accepted" : LauncherUpdateError::invalidFeed().code()) << name;
    }
    auto release = LegacyUpdateFeed::parse(feed + std::string(65536 - feed.size(), ' '), feedURL).value();
    EXPECT_EQ(release, (UpdateRelease { "1.4.0", Url::parse("https://updates.example.com/linux/" + archive).value(), digest, 1234 }));
    EXPECT_TRUE(release.isNewer("1.3.99").value());
    EXPECT_FALSE(release.isNewer("1.4.0").value());
    EXPECT_EQ(release.isNewer("1.4").error(), LauncherUpdateError::invalidFeed());
    for (auto url : { "http://h/latest.yml", "https://u:p@h/latest.yml", "https://h/latest.yml?x", "https://h/latest.yml#x", "https:///latest.yml" })
        EXPECT_EQ(LegacyUpdateFeed::parse(feed, Url::parse(url).value()).error(), LauncherUpdateError::invalidFeed()) << url;
}

} // namespace
} // namespace quorin
