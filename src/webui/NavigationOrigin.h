#pragma once

#include "core/Url.h"

#include <compare>
#include <optional>
#include <string>

namespace quorin {

// The (scheme, host, port) triple the navigation policy trusts. Scheme and host are
// lower-cased; the port is the URL's explicit port only, so "https://a" and
// "https://a:443" are different origins.
struct NavigationOrigin {
    std::string scheme;
    std::string host;
    std::optional<int> port;

    // nullopt for a URL without a scheme or host.
    static std::optional<NavigationOrigin> of(const Url& url);

    auto operator<=>(const NavigationOrigin&) const = default;
};

} // namespace quorin
