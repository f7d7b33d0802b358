#pragma once

// Standard padded Base64 (RFC 4648 section 4), the form of release digests, keys and
// signatures. Decoding accepts only the canonical text of the bytes: the text that encoding
// them again gives back, character for character.

#include <optional>
#include <string>
#include <string_view>

namespace quorin::base64 {

std::string encoded(std::string_view bytes);
// nullopt unless `text` is the canonical encoding of some bytes.
std::optional<std::string> decoded(std::string_view text);

} // namespace quorin::base64
