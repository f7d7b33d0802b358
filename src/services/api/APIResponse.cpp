#include "APIResponse.h"

#include "APIHeaderText.h"

#include <glib.h>

namespace quorin {

Result<APIResponse, APITransportError> APIResponse::from(APIHTTPResponse response, const AllowedOriginPolicy& policy, std::size_t maximumBytes)
{
    if (!response.url || response.statusCode < 100 || response.statusCode > 599)
        return fail(APITransportError::invalidResponse());
    if (!policy.permits(*response.url) || (response.statusCode >= 300 && response.statusCode <= 399))
        return fail(APITransportError::redirectDenied());
    if (response.declaredLength.value_or(0) > maximumBytes || response.body.size() > maximumBytes)
        return fail(APITransportError::responseTooLarge());
    if (!g_utf8_validate_len(response.body.data(), response.body.size(), nullptr))
        return fail(APITransportError::invalidResponse());
    return APIResponse { response.statusCode, std::move(response.body), sanitizedContentType(response.contentType) };
}

BridgeValue APIResponse::bridgeValue() const
{
    return BridgeValue::object({
        { "status", BridgeValue::number(statusCode) },
        { "body", BridgeValue::string(body) },
        { "contentType", BridgeValue::string(contentType) },
    });
}

} // namespace quorin
