#pragma once

// Header values that cross between the page and the network: what may be sent, and what the
// page gets back of the server's.

#include <optional>
#include <string>
#include <string_view>

namespace quorin {

// No control byte (below 32, or 127): such a byte could end the header line early.
bool isHeaderValueText(std::string_view value);

// The version sent as "X-APP": 1 to 64 of A-Z, a-z, 0-9, '.' and '-', else "0".
std::string sanitizedApplicationVersion(std::string_view version);

// The response's "Content-Type" when present, at most 256 bytes and free of control bytes;
// otherwise "".
std::string sanitizedContentType(std::optional<std::string_view> contentType);

} // namespace quorin
