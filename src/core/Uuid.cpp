#include "Uuid.h"

#include "Hex.h"
#include "Result.h"

#include <openssl/rand.h>

namespace quorin {

namespace {

// Byte offsets at which the standard text form has a hyphen before the byte.
constexpr bool hyphenBefore(std::size_t byteIndex)
{
    return byteIndex == 4 || byteIndex == 6 || byteIndex == 8 || byteIndex == 10;
}

} // namespace

Uuid Uuid::random()
{
    Uuid uuid;
    MUST(RAND_bytes(uuid.m_bytes.data(), static_cast<int>(uuid.m_bytes.size())) == 1);
    uuid.m_bytes[6] = static_cast<std::uint8_t>((uuid.m_bytes[6] & 0x0F) | 0x40); // version 4
    uuid.m_bytes[8] = static_cast<std::uint8_t>((uuid.m_bytes[8] & 0x3F) | 0x80); // RFC 4122 variant
    return uuid;
}

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

std::string Uuid::lowerString() const
{
    std::string text;
    text.reserve(36);
    for (std::size_t i = 0; i < m_bytes.size(); ++i) {
        if (hyphenBefore(i))
            text.push_back('-');
        hex::appendByte(text, m_bytes[i], hex::lowerDigits);
    }
    return text;
}

} // namespace quorin
