#include "Utf8.h"

#include <cstdint>

namespace quorin::utf8 {

namespace {

bool isContinuation(unsigned char byte)
{
    return (byte & 0xC0) == 0x80;
}

// The length of the sequence starting at `index`, or 0 when it is malformed.
std::size_t sequenceLength(std::string_view bytes, std::size_t index)
{
    auto lead = static_cast<unsigned char>(bytes[index]);
    if (lead < 0x80)
        return 1;
    std::size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC2 ? 2 : 0;
    if (length == 0 || lead > 0xF4 || index + length > bytes.size())
        return 0;
    std::uint32_t codePoint = lead & (0x7F >> length);
    for (std::size_t offset = 1; offset < length; ++offset) {
        auto byte = static_cast<unsigned char>(bytes[index + offset]);
        if (!isContinuation(byte))
            return 0;
        codePoint = (codePoint << 6) | (byte & 0x3F);
    }
    constexpr std::uint32_t smallest[] = { 0, 0, 0x80, 0x800, 0x10000 };
    bool surrogate = codePoint >= 0xD800 && codePoint <= 0xDFFF;
    return codePoint < smallest[length] || codePoint > 0x10FFFF || surrogate ? 0 : length;
}

} // namespace

bool isValid(std::string_view bytes)
{
    for (std::size_t index = 0; index < bytes.size();) {
        auto length = sequenceLength(bytes, index);
        if (length == 0)
            return false;
        index += length;
    }
    return true;
}

} // namespace quorin::utf8
