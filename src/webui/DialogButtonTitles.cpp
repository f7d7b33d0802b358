#include "DialogButtonTitles.h"

#include "core/AsciiCase.h"

namespace quorin {

DialogButtonTitles dialogButtonTitles(const std::vector<std::string>& preferredLanguages)
{
    auto first = preferredLanguages.empty() ? std::string("en") : asciiLowercased(preferredLanguages.front());
    if (first.starts_with("tr"))
        return { "Tamam", "\xC4\xB0ptal" }; // "İptal"
    return { "OK", "Cancel" };
}

} // namespace quorin
