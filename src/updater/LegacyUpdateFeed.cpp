#include "LegacyUpdateFeed.h"

#include "Base64.h"
#include "SemanticUpdateVersion.h"
#include "Utf8.h"

#include "core/WhiteSpace.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace quorin::LegacyUpdateFeed {

namespace {

using Fields = std::map<std::string, std::string, std::less<>>;

constexpr std::array<std::string_view, 5> topLevelKeys = { "version", "files", "path", "sha512", "releaseDate" };
constexpr std::size_t digestSize = 64;
constexpr std::int64_t smallestArchive = 5;
constexpr std::int64_t largestArchive = 268435456;

Failure<LauncherUpdateError> refuse()
{
    return fail(LauncherUpdateError::invalidFeed());
}

struct FeedText {
    Fields fields;
    std::vector<Fields> files;
    bool inFiles { false };
    bool entryOpen { false };
};

// The newline characters of Unicode: LF, VT, FF, CR, NEL, LS and PS. A CR LF pair leaves an
// empty line between them, which is skipped like any other.
std::vector<std::string_view> lines(std::string_view text)
{
    constexpr std::array<std::string_view, 7> separators = { "\n", "\v", "\f", "\r", "\xC2\x85", "\xE2\x80\xA8", "\xE2\x80\xA9" };
    std::vector<std::string_view> result;
    std::size_t start = 0;
    for (std::size_t index = 0; index < text.size();) {
        auto separator = std::ranges::find_if(separators, [&](auto s) { return text.substr(index).starts_with(s); });
        if (separator == separators.end()) {
            ++index;
            continue;
        }
        result.push_back(text.substr(start, index - start));
        index += separator->size();
        start = index;
    }
    result.push_back(text.substr(start));
    return result;
}

std::string_view unquoted(std::string_view value)
{
    bool quoted = value.size() >= 2 && value.front() == value.back() && (value.front() == '\'' || value.front() == '"');
    return quoted ? value.substr(1, value.size() - 2) : value;
}

Status<LauncherUpdateError> readTopLevel(FeedText& feed, std::string_view key, std::string_view value)
{
    if (feed.fields.contains(key) || std::ranges::find(topLevelKeys, key) == topLevelKeys.end())
        return refuse();
    feed.fields.emplace(key, value);
    feed.inFiles = key == "files";
    if (feed.inFiles && !value.empty())
        return refuse();
    feed.entryOpen = feed.inFiles;
    return Ok {};
}

Status<LauncherUpdateError> readLine(FeedText& feed, std::string_view line)
{
    if (trimmedWhiteSpace(line).empty())
        return Ok {};
    auto colon = line.find(':');
    if (line.find('\t') != std::string_view::npos || colon == std::string_view::npos)
        return refuse();
    auto indent = std::min(line.find_first_not_of(' '), line.size());
    auto key = trimmedWhiteSpace(line.substr(0, colon));
    auto value = unquoted(trimmedWhiteSpace(line.substr(colon + 1)));
    switch (indent) {
    case 0:
        return readTopLevel(feed, key, value);
    case 2:
        if (key != "- url" || !feed.inFiles)
            return refuse();
        feed.files.push_back(Fields { { "url", std::string(value) } });
        feed.entryOpen = true;
        return Ok {};
    case 4:
        if (!feed.entryOpen || feed.files.empty() || (key != "sha512" && key != "size") || feed.files.back().contains(key))
            return refuse();
        feed.files.back().emplace(key, value);
        return Ok {};
    default:
        return refuse();
    }
}

std::optional<std::int64_t> archiveSize(std::string_view text)
{
    std::int64_t size = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), size);
    if (error != std::errc() || end != text.data() + text.size() || std::to_string(size) != text)
        return std::nullopt;
    if (size < smallestArchive || size > largestArchive)
        return std::nullopt;
    return size;
}

// The feed's folder with `name` as its last path component.
std::optional<Url> besideFeed(const Url& feedURL, std::string_view name)
{
    auto text = feedURL.string();
    std::string_view path = feedURL.percentEncodedPath();
    std::string_view origin = std::string_view(text).substr(0, text.size() - path.size());
    if (path.ends_with('/'))
        path.remove_suffix(1);
    auto folder = Url::parse(std::string(origin) + std::string(path.substr(0, path.rfind('/') + 1)));
    if (!folder)
        return std::nullopt;
    return folder->appendingPathComponent(name);
}

Result<UpdateRelease, LauncherUpdateError> releaseOf(const FeedText& feed, const Url& feedURL)
{
    auto version = feed.fields.find("version");
    if (version == feed.fields.end())
        return refuse();
    TRY(SemanticUpdateVersion::parse(version->second));

    auto name = releaseArchiveName(version->second);
    auto isOurs = [&](const Fields& entry) { return entry.at("url") == name; };
    if (std::ranges::count_if(feed.files, isOurs) != 1)
        return refuse();
    const auto& entry = *std::ranges::find_if(feed.files, isOurs);
    auto sha512 = entry.find("sha512");
    auto size = entry.find("size");
    if (sha512 == entry.end() || base64::decoded(sha512->second).value_or("").size() != digestSize)
        return refuse();
    auto parsedSize = size == entry.end() ? std::nullopt : archiveSize(size->second);
    if (!parsedSize)
        return refuse();

    auto path = feed.fields.find("path");
    auto topDigest = feed.fields.find("sha512");
    if ((path != feed.fields.end() && path->second != name) || (topDigest != feed.fields.end() && topDigest->second != sha512->second))
        return refuse();
    auto url = besideFeed(feedURL, name);
    if (!url)
        return refuse();
    return UpdateRelease { version->second, *url, sha512->second, *parsedSize };
}

} // namespace

Result<UpdateRelease, LauncherUpdateError> parse(std::string_view bytes, const Url& feedURL)
{
    if (bytes.size() > maximumSize)
        return refuse();
    if (feedURL.scheme() != "https" || !feedURL.hasHost() || feedURL.user() || feedURL.password() || feedURL.query() || feedURL.fragment())
        return refuse();
    if (!utf8::isValid(bytes))
        return refuse();
    FeedText feed;
    for (auto line : lines(bytes))
        TRY(readLine(feed, line));
    return releaseOf(feed, feedURL);
}

} // namespace quorin::LegacyUpdateFeed
