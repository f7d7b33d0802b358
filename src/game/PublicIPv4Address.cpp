#include "PublicIPv4Address.h"

#include <algorithm>
#include <array>
#include <optional>

namespace quorin {

namespace {

// A decimal 0 to 255 without sign or leading zero.
std::optional<int> octet(std::string_view piece)
{
    if (piece.empty() || piece.size() > 3 || (piece.size() > 1 && piece.front() == '0'))
        return std::nullopt;
    int value = 0;
    for (char c : piece) {
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + (c - '0');
    }
    return value <= 255 ? std::optional(value) : std::nullopt;
}

std::optional<std::array<int, 4>> octets(std::string_view dotted)
{
    std::array<int, 4> values {};
    for (std::size_t i = 0; i < values.size(); ++i) {
        auto dot = dotted.find('.');
        if ((dot == std::string_view::npos) != (i == values.size() - 1))
            return std::nullopt;
        auto value = octet(dotted.substr(0, dot));
        if (!value)
            return std::nullopt;
        values[i] = *value;
        dotted.remove_prefix(dot == std::string_view::npos ? dotted.size() : dot + 1);
    }
    return values;
}

} // namespace

bool isPublicIPv4Address(std::string_view dotted)
{
    auto parsed = octets(dotted);
    if (!parsed)
        return false;
    auto [a, b, c, _] = *parsed;
    bool excluded = a == 0 || a == 10 || a == 127 || a >= 224
        || (a == 100 && b >= 64 && b <= 127)
        || (a == 169 && b == 254)
        || (a == 172 && b >= 16 && b <= 31)
        || (a == 192 && (b == 0 || b == 168))
        || (a == 192 && b == 88 && c == 99)
        || (a == 198 && (b == 18 || b == 19))
        || (a == 198 && b == 51 && c == 100)
        || (a == 203 && b == 0 && c == 113);
    return !excluded;
}

Result<std::string, LauncherGameError> firstPublicAddress(const std::vector<std::string>& addresses)
{
    if (addresses.empty())
        return fail(LauncherGameError::socketUnavailable());
    if (!std::all_of(addresses.begin(), addresses.end(), [](const std::string& address) { return isPublicIPv4Address(address); }))
        return fail(LauncherGameError::socketConfigurationInvalid());
    return addresses.front();
}

} // namespace quorin
