#include "LauncherNavigationPolicy.h"

#include "core/FilePath.h"
#include "core/Uuid.h"

#include <algorithm>
#include <optional>
#include <string_view>

namespace quorin {

namespace {

using Decision = LauncherNavigationDecision;

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
    auto pieces = filePath::components(url.percentEncodedPath());
    std::erase(pieces, std::string_view());
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
    : m_webUIFolder(LocalFolder::of(webUIRoot.standardized()))
{
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
    return m_webUIFolder && m_webUIFolder->contains(fileURL);
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
