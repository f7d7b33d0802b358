#include "SemanticUpdateVersion.h"

#include <array>

namespace quorin {

namespace {

constexpr std::int64_t componentLimit = 1000000;

// One component: "0" or a digit 1-9 followed by digits, below the limit. Reading stops at
// the limit, so a long run of digits cannot overflow.
std::optional<std::int64_t> parseComponent(std::string_view text)
{
    if (text.empty() || (text.size() > 1 && text[0] == '0'))
        return std::nullopt;
    std::int64_t value = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + (c - '0');
        if (value >= componentLimit)
            return std::nullopt;
    }
    return value;
}

} // namespace

Result<SemanticUpdateVersion, LauncherUpdateError> SemanticUpdateVersion::parse(std::string_view text)
{
    std::array<std::int64_t, 3> components {};
    for (std::size_t index = 0; index < components.size(); ++index) {
        auto dot = index + 1 < components.size() ? text.find('.') : std::string_view::npos;
        if (index + 1 < components.size() && dot == std::string_view::npos)
            return fail(LauncherUpdateError::invalidFeed());
        auto component = parseComponent(text.substr(0, dot));
        if (!component)
            return fail(LauncherUpdateError::invalidFeed());
        components[index] = *component;
        text = dot == std::string_view::npos ? std::string_view {} : text.substr(dot + 1);
    }
    return SemanticUpdateVersion { components[0], components[1], components[2] };
}

} // namespace quorin
