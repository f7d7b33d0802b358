#include "AllowedOriginPolicy.h"

#include "core/AsciiCase.h"

#include <algorithm>

namespace quorin {

namespace {

constexpr int defaultHTTPSPort = 443;

// The HTTPS origin of `url`, or nullopt when it has none. User information is checked by the
// callers: a policy entry refuses it, and so does permits().
std::optional<AllowedOriginPolicy::Origin> httpsOrigin(const Url& url)
{
    int port = url.port().value_or(defaultHTTPSPort);
    if (url.scheme() != "https" || !url.hasHost() || port < 1 || port > 65535)
        return std::nullopt;
    return AllowedOriginPolicy::Origin { "https", asciiLowercased(*url.host()), port };
}

bool hasUserInformation(const Url& url)
{
    return url.user() || url.password();
}

} // namespace

Result<AllowedOriginPolicy, APITransportError> AllowedOriginPolicy::create(const std::vector<Url>& originURLs)
{
    if (originURLs.empty() || originURLs.size() > maximumOriginCount)
        return fail(APITransportError::invalidRequest());
    std::vector<Origin> origins;
    for (const auto& url : originURLs) {
        auto origin = httpsOrigin(url);
        bool bareOrigin = url.percentEncodedPath().empty() || url.percentEncodedPath() == "/";
        if (!origin || hasUserInformation(url) || url.query() || url.fragment() || !bareOrigin)
            return fail(APITransportError::originDenied());
        origins.push_back(*origin);
    }
    std::sort(origins.begin(), origins.end());
    origins.erase(std::unique(origins.begin(), origins.end()), origins.end());
    return AllowedOriginPolicy(std::move(origins));
}

bool AllowedOriginPolicy::permits(const Url& url) const
{
    if (hasUserInformation(url) || url.fragment())
        return false;
    auto origin = httpsOrigin(url);
    return origin && std::binary_search(m_origins.begin(), m_origins.end(), *origin);
}

} // namespace quorin
