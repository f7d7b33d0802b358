#include "LauncherNavigationPolicy.h"

#include "core/Uuid.h"

#include <algorithm>
#include <optional>
#include <string_view>

namespace quorin {

namespace {

using Decision = LauncherNavigationDecision;

bool equalsIgnoringASCIICase(std::string_view a, std::string_view b)
{
    auto lower = [](unsigned char c) { return c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c; };
    return std::ranges::equal(a, b, {}, lower, lower);
}

// Only local file URLs are ours; any host but "localhost" names another machine.
bool isLocalFileURL(const Url& url)
{
    auto host = url.host().value_or("");
    return url.isFileURL() && (host.empty() || equalsIgnoringASCIICase(host, "localhost"));
}

// The decoded path with "." and ".." resolved and empty segments dropped, without a
// trailing "/" ("" for the file-system root). Decoding comes first so that an escaped
// "%2e%2e" or "%2f" cannot smuggle a segment past the comparison.
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

std::vector<std::string_view> nonEmptyPathPieces(std::string_view path)
{
    std::vector<std::string_view> pieces;
    while (!path.empty()) {
        auto slash = path.find('/');
        auto piece = path.substr(0, slash);
        if (!piece.empty())
            pieces.push_back(piece);
        if (slash == std::string_view::npos)
            break;
        path.remove_prefix(slash + 1);
    }
    return pieces;
}

// quorin-game://app/<session UUID>/host/index.html, inside a sub-frame only.
bool isGameHostPageInSubFrame(const LauncherNavigationRequest& request)
{
    const auto& url = request.url;
    if (request.isMainFrame || request.isNewWindow)
        return false;
    if (url.host() != "app")
        return false;
    if (url.query() || url.fragment() || url.port() || url.user() || url.password())
        return false;
    auto pieces = nonEmptyPathPieces(url.percentEncodedPath());
    return pieces.size() == 3 && Uuid::parse(pieces[0]).has_value() && pieces[1] == "host" && pieces[2] == "index.html";
}

bool isBlankPage(const Url& url)
{
    return url.string() == "about:blank";
}

Decision externalIfUserInitiated(const LauncherNavigationRequest& request)
{
    return request.isUserInitiated ? Decision::OpenExternal : Decision::Cancel;
}

} // namespace

LauncherNavigationPolicy::LauncherNavigationPolicy(const Url& webUIRoot, const Url& authOrigin, const std::vector<Url>& gameOrigins)
    : m_webUIRoot(webUIRoot.standardized())
{
    if (isLocalFileURL(m_webUIRoot))
        m_webUIRootPath = normalisedDecodedPath(m_webUIRoot);
    trust(authOrigin);
    for (const auto& origin : gameOrigins)
        trust(origin);
}

void LauncherNavigationPolicy::trust(const Url& originURL)
{
    if (originURL.user() || originURL.password())
        return;
    auto origin = NavigationOrigin::of(originURL);
    if (!origin || std::ranges::find(m_trustedWebOrigins, *origin) != m_trustedWebOrigins.end())
        return;
    m_trustedWebOrigins.push_back(std::move(*origin));
}

bool LauncherNavigationPolicy::isInsideWebUIRoot(const Url& fileURL) const
{
    if (!m_webUIRootPath || !isLocalFileURL(fileURL))
        return false;
    auto path = normalisedDecodedPath(fileURL);
    return path == *m_webUIRootPath || path.starts_with(*m_webUIRootPath + "/");
}

bool LauncherNavigationPolicy::isTrusted(const Url& url) const
{
    auto origin = NavigationOrigin::of(url);
    return origin && std::ranges::find(m_trustedWebOrigins, *origin) != m_trustedWebOrigins.end();
}

LauncherNavigationDecision LauncherNavigationPolicy::decision(const LauncherNavigationRequest& request) const
{
    const auto& url = request.url;
    const auto& scheme = url.scheme(); // already lower-cased by Url
    if (scheme.empty())
        return Decision::Cancel;
    if (scheme == "file")
        return isInsideWebUIRoot(url) ? Decision::Allow : Decision::Cancel;
    if (scheme == "about")
        return isBlankPage(url) && !request.isMainFrame ? Decision::Allow : Decision::Cancel;
    if (scheme == "quorin-game")
        return isGameHostPageInSubFrame(request) ? Decision::Allow : Decision::Cancel;
    if (scheme == "https" && isTrusted(url))
        return Decision::Allow;
    if (scheme == "https" || scheme == "http" || scheme == "mailto")
        return externalIfUserInitiated(request);
    return Decision::Cancel;
}

} // namespace quorin
