#pragma once

// The page's view of a completed API request. Immutable.

#include "APIHTTPExchange.h"
#include "APITransportError.h"
#include "AllowedOriginPolicy.h"
#include "bridge/BridgeValue.h"
#include "core/Result.h"

#include <string>

namespace quorin {

struct APIResponse {
    int statusCode { 0 };
    std::string body; // UTF-8
    std::string contentType; // sanitised, possibly empty

    // Checks what the HTTP client returned, in this order: a status of 100 to 599 from a URL
    // (else invalidResponse), the URL inside the policy and no 3xx (else redirectDenied), the
    // declared and the received length within `maximumBytes` (else responseTooLarge), and a
    // UTF-8 body (else invalidResponse). 4xx and 5xx are responses, not failures.
    static Result<APIResponse, APITransportError> from(APIHTTPResponse response, const AllowedOriginPolicy& policy, std::size_t maximumBytes);

    // {"status": number, "body": string, "contentType": string}
    BridgeValue bridgeValue() const;

    bool operator==(const APIResponse&) const = default;
};

} // namespace quorin
