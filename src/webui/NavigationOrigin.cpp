#include "NavigationOrigin.h"

#include <algorithm>

namespace quorin {

namespace {

std::string asciiLowercased(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) {
        return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : static_cast<char>(c);
    });
    return text;
}

} // namespace

std::optional<NavigationOrigin> NavigationOrigin::of(const Url& url)
{
    if (url.scheme().empty() || !url.hasHost())
        return std::nullopt;
    return NavigationOrigin { asciiLowercased(url.scheme()), asciiLowercased(*url.host()), url.port() };
}

} // namespace quorin
