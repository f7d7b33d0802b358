#include "APIRequest.h"

#include "APIHeaderText.h"
#include "core/AsciiCase.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace quorin {

namespace {

using Method = APIRequest::Method;

constexpr std::array<std::pair<Method, std::string_view>, 6> methods { {
    { Method::Get, "GET" },
    { Method::Post, "POST" },
    { Method::Put, "PUT" },
    { Method::Patch, "PATCH" },
    { Method::Delete, "DELETE" },
    { Method::Head, "HEAD" },
} };

constexpr std::array<std::string_view, 4> requestKeys { "url", "method", "headers", "body" };
constexpr std::array<std::string_view, 6> allowedHeaderNames { "accept", "authorization", "content-type", "if-match", "if-none-match", "x-app" };

template<typename Range>
bool contains(const Range& range, std::string_view item)
{
    return std::find(range.begin(), range.end(), item) != range.end();
}

// Exact and case-sensitive: "get" is not a method.
std::optional<Method> methodNamed(std::string_view wire)
{
    for (const auto& [method, name] : methods) {
        if (name == wire)
            return method;
    }
    return std::nullopt;
}

const BridgeValue* member(const BridgeValue::Object& object, std::string_view key)
{
    auto found = object.find(key);
    return found == object.end() ? nullptr : &found->second;
}

// The allowed names are lower-case letters and hyphens, so a name that matches one is also a
// well-formed header name.
Result<APIRequest::Headers, APITransportError> validatedHeaders(const APIRequest::HeaderList& headers)
{
    if (headers.size() > APIRequest::maximumHeaderCount)
        return fail(APITransportError::headerDenied());
    APIRequest::Headers result;
    for (const auto& [name, value] : headers) {
        auto lowered = asciiLowercased(name);
        if (!contains(allowedHeaderNames, lowered) || value.size() > APIRequest::maximumHeaderValueBytes || !isHeaderValueText(value))
            return fail(APITransportError::headerDenied());
        if (!result.emplace(std::move(lowered), value).second)
            return fail(APITransportError::headerDenied());
    }
    return result;
}

// Step 2 of decoding: the keys, the URL text and the method. A failure is methodDenied when
// "method" names no method, so a misspelt method is reported as such whatever else is wrong.
Result<std::pair<Url, Method>, APITransportError> decodedURLAndMethod(const BridgeValue::Object& object)
{
    const auto* methodValue = member(object, "method");
    auto method = methodValue && methodValue->isString() ? methodNamed(methodValue->asString()) : std::nullopt;
    auto structuralFailure = [&] {
        bool namesNoMethod = methodValue && methodValue->isString() && !method;
        return fail(namesNoMethod ? APITransportError::methodDenied() : APITransportError::invalidRequest());
    };
    for (const auto& [key, value] : object) {
        if (!contains(requestKeys, key))
            return structuralFailure();
    }
    const auto* urlValue = member(object, "url");
    if (!urlValue || !urlValue->isString() || urlValue->asString().empty() || urlValue->asString().size() > APIRequest::maximumURLBytes)
        return structuralFailure();
    auto url = Url::parse(urlValue->asString());
    if (!url || !method)
        return structuralFailure();
    return std::pair(std::move(*url), *method);
}

Result<APIRequest::HeaderList, APITransportError> decodedHeaders(const BridgeValue* value)
{
    if (!value || value->isNull())
        return APIRequest::HeaderList {};
    if (!value->isObject())
        return fail(APITransportError::headerDenied());
    APIRequest::HeaderList headers;
    for (const auto& [name, headerValue] : value->asObject()) {
        if (!headerValue.isString())
            return fail(APITransportError::headerDenied());
        headers.emplace_back(name, headerValue.asString());
    }
    return headers;
}

Result<std::optional<std::string>, APITransportError> decodedBody(const BridgeValue* value)
{
    if (!value || value->isNull())
        return std::optional<std::string> {};
    if (!value->isString())
        return fail(APITransportError::invalidRequest());
    return std::optional(value->asString());
}

} // namespace

APIRequest::APIRequest(Url url, Method method, Headers headers, std::optional<std::string> body, double timeoutSeconds)
    : m_url(std::move(url))
    , m_method(method)
    , m_headers(std::move(headers))
    , m_body(std::move(body))
    , m_timeoutSeconds(timeoutSeconds)
{
}

std::string_view APIRequest::wireString(Method method)
{
    return methods[static_cast<std::size_t>(method)].second;
}

Result<APIRequest, APITransportError> APIRequest::decode(const BridgeValue& value, const AllowedOriginPolicy& policy)
{
    if (!value.isObject())
        return fail(APITransportError::invalidRequest());
    const auto& object = value.asObject();
    auto [url, method] = TRY(decodedURLAndMethod(object));
    auto headers = TRY(decodedHeaders(member(object, "headers")));
    auto body = TRY(decodedBody(member(object, "body")));
    return checked(std::move(url), method, headers, std::move(body), pageTimeoutSeconds, policy);
}

Result<APIRequest, APITransportError> APIRequest::create(Url url, Method method, const HeaderList& headers, std::optional<std::string> body,
    double timeoutSeconds, const AllowedOriginPolicy& policy)
{
    auto request = TRY(checked(std::move(url), method, headers, std::move(body), timeoutSeconds, policy));
    if (!std::isfinite(timeoutSeconds) || timeoutSeconds < minimumTimeoutSeconds || timeoutSeconds > maximumTimeoutSeconds)
        return fail(APITransportError::invalidRequest());
    return request;
}

Result<APIRequest, APITransportError> APIRequest::checked(Url url, Method method, const HeaderList& headers, std::optional<std::string> body,
    double timeoutSeconds, const AllowedOriginPolicy& policy)
{
    if (url.string().size() > maximumURLBytes || !policy.permits(url))
        return fail(APITransportError::originDenied());
    auto validHeaders = TRY(validatedHeaders(headers));
    if (body && body->size() > maximumBodyBytes)
        return fail(APITransportError::bodyTooLarge());
    if (body && (method == Method::Get || method == Method::Head))
        return fail(APITransportError::invalidRequest());
    return APIRequest(std::move(url), method, std::move(validHeaders), std::move(body), timeoutSeconds);
}

} // namespace quorin
