#include "DialogButtonTitles.h"

#include <algorithm>

namespace quorin {

namespace {

std::string asciiLowercased(std::string text)
{
    std::ranges::transform(text, text.begin(), [](unsigned char c) {
        return static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    });
    return text;
}

} // namespace

DialogButtonTitles dialogButtonTitles(const std::vector<std::string>& preferredLanguages)
{
    auto first = preferredLanguages.empty() ? std::string("en") : asciiLowercased(preferredLanguages.front());
    if (first.starts_with("tr"))
        return { "Tamam", "\xC4\xB0ptal" }; // "İptal"
    return { "OK", "Cancel" };
}

} // namespace quorin
