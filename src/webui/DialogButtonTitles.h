#pragma once

#include <string>
#include <vector>

namespace quorin {

// Button titles of the native panels that answer the page's alert, confirm and prompt.
struct DialogButtonTitles {
    std::string confirm;
    std::string cancel;

    bool operator==(const DialogButtonTitles&) const = default;
};

// Chosen by the first preferred language, lower-cased ("en" for an empty list): a language
// beginning with "tr" gets "Tamam"/"İptal", every other one "OK"/"Cancel".
DialogButtonTitles dialogButtonTitles(const std::vector<std::string>& preferredLanguages);

} // namespace quorin
