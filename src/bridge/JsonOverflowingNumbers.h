#pragma once

// nlohmann's parser refuses outright a number beyond the double range ("1e400"), which
// would make such a body unreadable rather than holding an infinite number that the
// value rules refuse. This rewrites every such number token as "0" and lists the
// rewritten tokens by their index among all number tokens in document order, so a
// parse of the new text can read those numbers as infinite.
//
// Strings are skipped with their escapes; up to the first syntax error the tokens found
// are the parser's, and a rewrite never makes an invalid text valid or the reverse.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace quorin {

struct JsonOverflowingNumbers {
    std::string text;
    std::vector<std::size_t> numberIndexes; // ascending

    static JsonOverflowingNumbers rewrite(std::string_view text);
};

} // namespace quorin
