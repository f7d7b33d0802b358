#include "LocalFolder.h"

#include <algorithm>
#include <string_view>
#include <vector>

namespace quorin {

namespace {

bool equalsIgnoringASCIICase(std::string_view a, std::string_view b)
{
    auto lower = [](unsigned char c) { return c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c; };
    return std::ranges::equal(a, b, {}, lower, lower);
}

// The decoded path with "." and ".." resolved and empty segments dropped, without a
// trailing "/". Decoding comes first so that an escaped segment is resolved too.
std::string normalisedDecodedPath(const Url& url)
{
    std::vector<std::string> segments;
    const auto path = url.path();
    std::size_t start = 0;
    while (start <= path.size()) {
        auto end = std::min(path.find('/', start), path.size());
        auto segment = path.substr(start, end - start);
        if (segment == "..") {
            if (!segments.empty())
                segments.pop_back();
        } else if (!segment.empty() && segment != ".") {
            segments.push_back(std::move(segment));
        }
        start = end + 1;
    }
    std::string normalised;
    for (const auto& segment : segments)
        normalised += "/" + segment;
    return normalised;
}

bool holdsEscapedSlash(std::string_view encodedPath)
{
    for (auto at = encodedPath.find('%'); at != std::string_view::npos; at = encodedPath.find('%', at + 1)) {
        if (equalsIgnoringASCIICase(encodedPath.substr(at, 3), "%2F"))
            return true;
    }
    return false;
}

// Only the plain forms: any host but "localhost" names another machine; a user, password or
// port has no meaning here; a path not from the root has no place in the file system; and an
// escaped "/" is a separator to one reader and part of a name (or an error, as GLib and
// WebKit's file loader have it) to another.
bool isLocalFileURL(const Url& url)
{
    auto host = url.host().value_or("");
    const auto& path = url.percentEncodedPath();
    return url.isFileURL() && (host.empty() || equalsIgnoringASCIICase(host, "localhost")) && !url.user() && !url.password()
        && !url.port() && path.starts_with('/') && !holdsEscapedSlash(path);
}

} // namespace

std::optional<LocalFolder> LocalFolder::of(const Url& folderURL)
{
    if (!isLocalFileURL(folderURL))
        return std::nullopt;
    return LocalFolder(normalisedDecodedPath(folderURL));
}

bool LocalFolder::contains(const Url& fileURL) const
{
    if (!isLocalFileURL(fileURL))
        return false;
    auto path = normalisedDecodedPath(fileURL);
    return path == m_path || path.starts_with(m_path + "/");
}

} // namespace quorin
