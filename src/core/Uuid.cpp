#include "Uuid.h"

#include "Hex.h"

#include <openssl/rand.h>

#include <cerrno>
#include <cstdlib>
#include <sys/random.h>

namespace quorin {

namespace {

// Byte offsets at which the standard text form has a hyphen before the byte.
constexpr bool hyphenBefore(std::size_t byteIndex)
{
    return byteIndex == 4 || byteIndex == 6 || byteIndex == 8 || byteIndex == 10;
}

// The kernel's generator when OpenSSL's cannot deliver; without either there is no
// unguessable identifier to give, and carrying on with a guessable one would be worse.
void fillFromKernel(std::uint8_t* bytes, std::size_t size)
{
    std::size_t filled = 0;
    while (filled < size) {
        ssize_t count = getrandom(bytes + filled, size - filled, 0);
        if (count < 0) {
            if (errno == EINTR)
                continue;
            std::abort();
        }
        filled += static_cast<std::size_t>(count);
    }
}

std::string text(const std::array<std::uint8_t, 16>& bytes, const char* hexDigits)
{
    std::string result;
    result.reserve(36);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (hyphenBefore(i))
            result.push_back('-');
        hex::appendByte(result, bytes[i], hexDigits);
    }
    return result;
}

} // namespace

Uuid Uuid::random()
{
    Uuid uuid;
    if (RAND_bytes(uuid.m_bytes.data(), static_cast<int>(uuid.m_bytes.size())) != 1)
        fillFromKernel(uuid.m_bytes.data(), uuid.m_bytes.size());
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

std::string Uuid::upperString() const
{
    return text(m_bytes, hex::upperDigits);
}

std::string Uuid::lowerString() const
{
    return text(m_bytes, hex::lowerDigits);
}

} // namespace quorin
