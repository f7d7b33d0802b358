#pragma once

#include "core/Url.h"

#include <optional>
#include <string_view>

namespace quorin {

inline constexpr std::size_t maximumExternalURLBytes = 4096;

// The URL the page may open in the system browser: text without surrounding whitespace, at
// most 4,096 bytes, an https URL with a host and without user information.
std::optional<Url> acceptedExternalURL(std::string_view text);

} // namespace quorin
