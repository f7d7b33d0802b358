#include "WhiteSpace.h"

#include <optional>

namespace quorin {

namespace {

// One code point of UTF-8 text; nullopt when the bytes are not well formed.
std::optional<char32_t> decodeCodePoint(std::string_view bytes)
{
    auto byte = [&](std::size_t i) { return static_cast<unsigned char>(bytes[i]); };
    if (bytes.empty())
        return std::nullopt;
    unsigned char lead = byte(0);
    std::size_t length = lead < 0x80 ? 1 : (lead >> 5) == 0x6 ? 2 : (lead >> 4) == 0xE ? 3 : (lead >> 3) == 0x1E ? 4 : 0;
    if (length == 0 || bytes.size() != length)
        return std::nullopt;
    if (length == 1)
        return lead;
    char32_t codePoint = lead & (0x7F >> length);
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(i) & 0xC0) != 0x80)
            return std::nullopt;
        codePoint = (codePoint << 6) | (byte(i) & 0x3F);
    }
    return codePoint;
}

// Unicode white space and line breaks: general category Z, tab, U+000A-U+000D and U+0085.
bool isWhiteSpaceOrLineBreak(char32_t c)
{
    return (c >= 0x09 && c <= 0x0D) || c == 0x20 || c == 0x85 || c == 0xA0 || c == 0x1680
        || (c >= 0x2000 && c <= 0x200A) || c == 0x2028 || c == 0x2029 || c == 0x202F || c == 0x205F || c == 0x3000;
}

std::string_view firstCodePoint(std::string_view text)
{
    std::size_t length = 1;
    while (length < text.size() && length < 4 && (static_cast<unsigned char>(text[length]) & 0xC0) == 0x80)
        ++length;
    return text.substr(0, length);
}

std::string_view lastCodePoint(std::string_view text)
{
    std::size_t start = text.size() - 1;
    while (start > 0 && text.size() - start < 4 && (static_cast<unsigned char>(text[start]) & 0xC0) == 0x80)
        --start;
    return text.substr(start);
}

bool isWhiteSpaceCodePoint(std::string_view bytes)
{
    auto codePoint = decodeCodePoint(bytes);
    return codePoint && isWhiteSpaceOrLineBreak(*codePoint);
}

} // namespace

std::string_view trimmedWhiteSpace(std::string_view utf8)
{
    while (!utf8.empty() && isWhiteSpaceCodePoint(firstCodePoint(utf8)))
        utf8.remove_prefix(firstCodePoint(utf8).size());
    while (!utf8.empty() && isWhiteSpaceCodePoint(lastCodePoint(utf8)))
        utf8.remove_suffix(lastCodePoint(utf8).size());
    return utf8;
}

} // namespace quorin
