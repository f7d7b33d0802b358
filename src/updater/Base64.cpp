#include "Base64.h"

#include <openssl/evp.h>

namespace quorin::base64 {

std::string encoded(std::string_view bytes)
{
    std::string text(4 * ((bytes.size() + 2) / 3) + 1, '\0');
    int length = EVP_EncodeBlock(reinterpret_cast<unsigned char*>(text.data()),
        reinterpret_cast<const unsigned char*>(bytes.data()), static_cast<int>(bytes.size()));
    text.resize(static_cast<std::size_t>(length));
    return text;
}

std::optional<std::string> decoded(std::string_view text)
{
    if (text.size() % 4 != 0)
        return std::nullopt;
    std::string bytes(text.size() / 4 * 3 + 1, '\0');
    int length = EVP_DecodeBlock(reinterpret_cast<unsigned char*>(bytes.data()),
        reinterpret_cast<const unsigned char*>(text.data()), static_cast<int>(text.size()));
    // EVP_DecodeBlock counts the padding as zero bytes; the round trip refuses padding, blanks
    // or spare bits anywhere else.
    std::size_t padding = text.ends_with("==") ? 2 : text.ends_with('=') ? 1 : 0;
    if (length < 0 || static_cast<std::size_t>(length) < padding)
        return std::nullopt;
    bytes.resize(static_cast<std::size_t>(length) - padding);
    if (encoded(bytes) != text)
        return std::nullopt;
    return bytes;
}

} // namespace quorin::base64
