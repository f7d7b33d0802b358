#pragma once

// What the transport hands to its HTTP client, and what the client brings back.

#include "core/Url.h"

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace quorin {

struct APIHTTPRequest {
    Url url;
    std::string method;
    // Sent in this order.
    std::vector<std::pair<std::string, std::string>> headers;
    std::optional<std::string> body;
};

struct APIHTTPResponse {
    int statusCode { 0 };
    // Where the response came from, after the redirects the client followed.
    std::optional<Url> url;
    std::optional<std::string> contentType;
    std::optional<std::uint64_t> declaredLength;
    std::string body;
};

} // namespace quorin
