#pragma once

// Byte lengths of JSON tokens as nlohmann::json writes them in compact form
// (dump() with no indent, UTF-8 kept as is, "/" not escaped), so the size of a
// body's compact form can be summed while it is being parsed.

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace quorin::JsonCompactLength {

inline constexpr std::size_t nullLength = 4;
inline constexpr std::size_t booleanLength(bool value) { return value ? 4 : 5; }

// A string or key including its quotes. The text must be valid UTF-8 (as the parser
// guarantees); bytes from 0x80 up are written unchanged.
std::size_t ofString(std::string_view text);

std::size_t ofInteger(std::int64_t value);
std::size_t ofUnsigned(std::uint64_t value);
// Shortest round-trip form ("1.0", "1e+20"); a non-finite value is written as null.
std::size_t ofFloat(double value);

} // namespace quorin::JsonCompactLength
