#include "Uuid.h"

#include "Hex.h"

namespace quorin {

namespace {

// Byte offsets at which the standard text form has a hyphen before the byte.
constexpr bool hyphenBefore(std::size_t byteIndex)
{
    return byteIndex == 4 || byteIndex == 6 || byteIndex == 8 || byteIndex == 10;
}

} // namespace

std::optional<Uuid> Uuid::parse(std::string_view textForm)
{
    if (textForm.size() != 36)
        return std::nullopt;
    Uuid uuid;
    std::size_t position = 0;
    for (std::size_t i = 0; i < uuid.m_bytes.size(); ++i) {
        if (hyphenBefore(i) && textForm[position++] != '-')
            return std::nullopt;
        int high = hex::digitValue(textForm[position]);
        int low = hex::digitValue(textForm[position + 1]);
        if (high < 0 || low < 0)
            return std::nullopt;
        uuid.m_bytes[i] = static_cast<std::uint8_t>(high * 16 + low);
        position += 2;
    }
    return uuid;
}

} // namespace quorin
