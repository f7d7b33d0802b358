#pragma once

// A release version "major.minor.patch": three decimal numbers below 1000000, no leading
// zeros, sign, suffix or blanks. Versions compare number by number (1.2.10 > 1.2.9).

#include "LauncherUpdateError.h"

#include "core/Result.h"

#include <compare>
#include <cstdint>
#include <string_view>

namespace quorin {

struct SemanticUpdateVersion {
    std::int64_t major { 0 };
    std::int64_t minor { 0 };
    std::int64_t patch { 0 };

    // Fails with invalidFeed for anything but the exact three-number form.
    static Result<SemanticUpdateVersion, LauncherUpdateError> parse(std::string_view text);

    auto operator<=>(const SemanticUpdateVersion&) const = default;
};

} // namespace quorin
