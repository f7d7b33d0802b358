#pragma once

#include <string>

namespace quorin {

// Why an API request from the page was refused or did not complete; each case is one code.
struct APITransportError {
    enum class Case {
        InvalidRequest,
        MethodDenied,
        HeaderDenied,
        BodyTooLarge,
        OriginDenied,
        RedirectDenied,
        Timeout,
        Cancelled,
        ResponseTooLarge,
        InvalidResponse,
        NetworkFailure,
        Unavailable,
    };
    Case errorCase;

    static APITransportError invalidRequest() { return { Case::InvalidRequest }; }
    static APITransportError methodDenied() { return { Case::MethodDenied }; }
    static APITransportError headerDenied() { return { Case::HeaderDenied }; }
    static APITransportError bodyTooLarge() { return { Case::BodyTooLarge }; }
    static APITransportError originDenied() { return { Case::OriginDenied }; }
    static APITransportError redirectDenied() { return { Case::RedirectDenied }; }
    static APITransportError timeout() { return { Case::Timeout }; }
    static APITransportError cancelled() { return { Case::Cancelled }; }
    static APITransportError responseTooLarge() { return { Case::ResponseTooLarge }; }
    static APITransportError invalidResponse() { return { Case::InvalidResponse }; }
    static APITransportError networkFailure() { return { Case::NetworkFailure }; }
    static APITransportError unavailable() { return { Case::Unavailable }; }

    // "API_REQUEST_INVALID", "API_METHOD_DENIED", "API_HEADER_DENIED", "API_BODY_TOO_LARGE",
    // "API_ORIGIN_DENIED", "API_REDIRECT_DENIED", "API_TIMEOUT", "API_CANCELLED",
    // "API_RESPONSE_TOO_LARGE", "API_RESPONSE_INVALID", "API_NETWORK_FAILED" or "API_UNAVAILABLE".
    std::string code() const;

    bool operator==(const APITransportError&) const = default;
};

} // namespace quorin
