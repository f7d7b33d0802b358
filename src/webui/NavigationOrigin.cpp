#include "NavigationOrigin.h"

#include "core/AsciiCase.h"

namespace quorin {

std::optional<NavigationOrigin> NavigationOrigin::of(const Url& url)
{
    if (url.scheme().empty() || !url.hasHost())
        return std::nullopt;
    return NavigationOrigin { asciiLowercased(url.scheme()), asciiLowercased(*url.host()), url.port() };
}

} // namespace quorin
