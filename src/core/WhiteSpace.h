#pragma once

// White space and line breaks as Unicode counts them (general category Z, U+0009-U+000D and
// U+0085): what is trimmed from the identifiers, addresses and names that pages and files
// hand the launcher.

#include <string_view>

namespace quorin {

// `utf8` without the white space at either end; bytes that are not well-formed UTF-8 are kept.
std::string_view trimmedWhiteSpace(std::string_view utf8);

} // namespace quorin
