#include "APITransportError.h"

#include "bridge/APIBridgePort.h"

namespace quorin {

std::string APITransportError::code() const
{
    switch (errorCase) {
    case Case::InvalidRequest:
        return "API_REQUEST_INVALID";
    case Case::MethodDenied:
        return "API_METHOD_DENIED";
    case Case::HeaderDenied:
        return "API_HEADER_DENIED";
    case Case::BodyTooLarge:
        return "API_BODY_TOO_LARGE";
    case Case::OriginDenied:
        return "API_ORIGIN_DENIED";
    case Case::RedirectDenied:
        return "API_REDIRECT_DENIED";
    case Case::Timeout:
        return "API_TIMEOUT";
    case Case::Cancelled:
        return "API_CANCELLED";
    case Case::ResponseTooLarge:
        return "API_RESPONSE_TOO_LARGE";
    case Case::InvalidResponse:
        return "API_RESPONSE_INVALID";
    case Case::NetworkFailure:
        return "API_NETWORK_FAILED";
    case Case::Unavailable:
        return std::string(APIBridgePort::unavailableCode);
    }
    return "API_NETWORK_FAILED"; // unreachable: the switch covers every case
}

} // namespace quorin
