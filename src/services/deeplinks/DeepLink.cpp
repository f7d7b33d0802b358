#include "DeepLink.h"

#include "core/AsciiCase.h"
#include "core/FilePath.h"
#include "core/WhiteSpace.h"

#include <algorithm>
#include <array>
#include <string_view>
#include <vector>

namespace quorin {

namespace {

constexpr std::array<std::string_view, 4> allowedRoutes = { "auth", "launch", "play", "recharge" };

struct QueryItem {
    std::string name;
    std::optional<std::string> value; // absent without "="
};

std::vector<std::string_view> split(std::string_view text, char separator)
{
    std::vector<std::string_view> pieces;
    for (std::size_t start = 0;;) {
        auto end = text.find(separator, start);
        pieces.push_back(text.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start));
        if (end == std::string_view::npos)
            return pieces;
        start = end + 1;
    }
}

// "" holds no items; "a&" holds "a" and an empty name.
std::vector<QueryItem> queryItems(std::string_view query)
{
    std::vector<QueryItem> items;
    if (query.empty())
        return items;
    for (auto piece : split(query, '&')) {
        auto equals = piece.find('=');
        if (equals == std::string_view::npos)
            items.push_back({ percentDecoded(piece), std::nullopt });
        else
            items.push_back({ percentDecoded(piece.substr(0, equals)), percentDecoded(piece.substr(equals + 1)) });
    }
    return items;
}

bool queryIsAllowed(const std::vector<QueryItem>& items)
{
    if (items.size() > DeepLink::maximumQueryItems)
        return false;
    for (std::size_t i = 0; i < items.size(); ++i) {
        const auto& item = items[i];
        if (item.name.empty() || item.name.size() > DeepLink::maximumQueryNameBytes)
            return false;
        if (item.value && item.value->size() > DeepLink::maximumQueryValueBytes)
            return false;
        auto later = items.begin() + std::ptrdiff_t(i) + 1;
        if (std::any_of(later, items.end(), [&](const QueryItem& other) { return other.name == item.name; }))
            return false;
    }
    return true;
}

// Decoded, lower-cased, empty components dropped.
std::vector<std::string> pathComponents(const Url& url)
{
    std::vector<std::string> components;
    auto path = url.path();
    for (auto piece : filePath::components(path)) {
        if (!piece.empty())
            components.push_back(asciiLowercased(piece));
    }
    return components;
}

bool isLoginCallback(const Url& url, const std::vector<std::string>& components)
{
    if (url.hasHost()) {
        auto path = asciiLowercased(url.path());
        return path.empty() || path == "/" || path == "/callback";
    }
    return components == std::vector<std::string> { "auth" } || components == std::vector<std::string> { "auth", "callback" };
}

} // namespace

Result<DeepLink, DeepLinkRouterError> DeepLink::parse(const Url& url)
{
    auto text = url.string();
    if (text.empty() || text.size() > maximumTextBytes)
        return fail(DeepLinkRouterError::urlDenied());
    if (url.scheme() != "quorin42")
        return fail(DeepLinkRouterError::urlDenied());
    if (url.user() || url.password() || url.port() || url.fragment())
        return fail(DeepLinkRouterError::urlDenied());
    auto items = queryItems(url.query().value_or(""));
    if (!queryIsAllowed(items))
        return fail(DeepLinkRouterError::urlDenied());

    auto components = pathComponents(url);
    std::string route;
    if (url.hasHost())
        route = asciiLowercased(trimmedWhiteSpace(*url.host()));
    else if (!components.empty())
        route = components.front();
    if (std::find(allowedRoutes.begin(), allowedRoutes.end(), route) == allowedRoutes.end())
        return fail(DeepLinkRouterError::routeDenied());
    if (route == "auth" && !isLoginCallback(url, components))
        return fail(DeepLinkRouterError::routeDenied());

    auto state = std::find_if(items.begin(), items.end(), [](const QueryItem& item) { return item.name == "state"; });
    return DeepLink { std::move(route), state == items.end() ? std::nullopt : state->value, std::move(text) };
}

} // namespace quorin
