#pragma once

#include <cstdint>
#include <string>

namespace quorin::hex {

inline constexpr char lowerDigits[] = "0123456789abcdef";
inline constexpr char upperDigits[] = "0123456789ABCDEF";

// The value of one hexadecimal digit of either case, or -1.
constexpr int digitValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

constexpr bool isDigit(char c)
{
    return digitValue(c) >= 0;
}

// Appends the byte as two digits from `digits` (lowerDigits or upperDigits).
inline void appendByte(std::string& text, std::uint8_t byte, const char* digits = lowerDigits)
{
    text.push_back(digits[byte >> 4]);
    text.push_back(digits[byte & 0xF]);
}

} // namespace quorin::hex
