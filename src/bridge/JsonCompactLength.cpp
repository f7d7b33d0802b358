#include "JsonCompactLength.h"

#include <array>
#include <cmath>
#include <nlohmann/json.hpp>

namespace quorin::JsonCompactLength {
namespace {

// Extra bytes an escape adds to one input byte: \" \\ \b \t \n \f \r take two bytes,
// other control characters take six (\u00XX).
constexpr std::array<std::uint8_t, 256> makeEscapeExtras()
{
    std::array<std::uint8_t, 256> extras {};
    for (int byte = 0; byte < 0x20; ++byte)
        extras[byte] = 5;
    for (unsigned char shortEscape : { '\b', '\t', '\n', '\f', '\r', '"', '\\' })
        extras[shortEscape] = 1;
    return extras;
}

constexpr auto escapeExtras = makeEscapeExtras();

std::size_t decimalDigits(std::uint64_t value)
{
    std::size_t digits = 1;
    while (value >= 10) {
        value /= 10;
        ++digits;
    }
    return digits;
}

} // namespace

std::size_t ofString(std::string_view text)
{
    std::size_t length = text.size() + 2;
    for (unsigned char byte : text)
        length += escapeExtras[byte];
    return length;
}

std::size_t ofInteger(std::int64_t value)
{
    if (value >= 0)
        return decimalDigits(static_cast<std::uint64_t>(value));
    // Negate in unsigned arithmetic so the smallest value does not overflow.
    return 1 + decimalDigits(0 - static_cast<std::uint64_t>(value));
}

std::size_t ofUnsigned(std::uint64_t value)
{
    return decimalDigits(value);
}

std::size_t ofFloat(double value)
{
    if (!std::isfinite(value))
        return nullLength;
    // The same routine nlohmann's serializer uses, so the count matches dump() exactly.
    std::array<char, 64> buffer {};
    const char* end = nlohmann::detail::to_chars(buffer.data(), buffer.data() + buffer.size(), value);
    return static_cast<std::size_t>(end - buffer.data());
}

} // namespace quorin::JsonCompactLength
