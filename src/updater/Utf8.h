#pragma once

#include <string_view>

namespace quorin::utf8 {

// Well-formed UTF-8 (RFC 3629): no overlong forms, surrogates or code points past U+10FFFF.
bool isValid(std::string_view bytes);

} // namespace quorin::utf8
