#pragma once

// Case folding for protocol text (schemes, hosts, language tags): only A-Z change, so the
// result never depends on the locale and UTF-8 bytes pass through untouched.

#include <string>
#include <string_view>

namespace quorin {

inline std::string asciiLowercased(std::string_view text)
{
    std::string lowered(text);
    for (char& c : lowered) {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    }
    return lowered;
}

inline std::string asciiUppercased(std::string_view text)
{
    std::string raised(text);
    for (char& c : raised) {
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    }
    return raised;
}

} // namespace quorin
