#pragma once

// One HTTP request the page asked for, checked against the allowed origins. Immutable.

#include "APITransportError.h"
#include "AllowedOriginPolicy.h"
#include "bridge/BridgeValue.h"
#include "core/Result.h"
#include "core/Url.h"

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace quorin {

class APIRequest {
public:
    enum class Method { Get, Post, Put, Patch, Delete, Head };
    // Lower-cased names to values as given.
    using Headers = std::map<std::string, std::string>;
    // Names as written, before the checks.
    using HeaderList = std::vector<std::pair<std::string, std::string>>;

    inline static constexpr std::size_t maximumURLBytes = 4096;
    inline static constexpr std::size_t maximumBodyBytes = 32768;
    inline static constexpr std::size_t maximumHeaderCount = 16;
    inline static constexpr std::size_t maximumHeaderValueBytes = 8192;
    inline static constexpr double pageTimeoutSeconds = 30;
    inline static constexpr double minimumTimeoutSeconds = 0.01;
    inline static constexpr double maximumTimeoutSeconds = 60;

    // The page's request object {url, method, headers?, body?}; the first failing check in a
    // fixed order decides the error. The request gets the page's timeout of 30 seconds.
    static Result<APIRequest, APITransportError> decode(const BridgeValue& value, const AllowedOriginPolicy& policy);
    // The same checks on typed fields, and a timeout of 0.01 to 60 seconds (else invalidRequest).
    static Result<APIRequest, APITransportError> create(Url url, Method method, const HeaderList& headers, std::optional<std::string> body,
        double timeoutSeconds, const AllowedOriginPolicy& policy);

    // "GET", "POST", "PUT", "PATCH", "DELETE" or "HEAD".
    static std::string_view wireString(Method method);

    const Url& url() const { return m_url; }
    Method method() const { return m_method; }
    const Headers& headers() const { return m_headers; }
    const std::optional<std::string>& body() const { return m_body; }
    double timeoutSeconds() const { return m_timeoutSeconds; }

private:
    APIRequest(Url url, Method method, Headers headers, std::optional<std::string> body, double timeoutSeconds);

    static Result<APIRequest, APITransportError> checked(Url url, Method method, const HeaderList& headers, std::optional<std::string> body,
        double timeoutSeconds, const AllowedOriginPolicy& policy);

    Url m_url;
    Method m_method;
    Headers m_headers;
    std::optional<std::string> m_body;
    double m_timeoutSeconds;
};

} // namespace quorin
