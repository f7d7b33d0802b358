#pragma once

// The servers the page may reach through the API transport: HTTPS origins fixed at start-up.
// Immutable; safe to read from any thread.

#include "APITransportError.h"
#include "core/Result.h"
#include "core/Url.h"

#include <optional>
#include <string>
#include <vector>

namespace quorin {

class AllowedOriginPolicy {
public:
    // Scheme (always "https"), lower-cased host and port (443 when the URL names none).
    struct Origin {
        std::string scheme;
        std::string host;
        int port { 443 };

        auto operator<=>(const Origin&) const = default;
    };

    inline static constexpr std::size_t maximumOriginCount = 16;

    // 1 to 16 bare origin URLs ("https://host[:port][/]"): a wrong count is invalidRequest,
    // any URL with more than an origin, or not HTTPS, is originDenied.
    static Result<AllowedOriginPolicy, APITransportError> create(const std::vector<Url>& originURLs);

    // Whether `url` is inside one of the origins; path and query do not matter, user
    // information and a fragment refuse it.
    bool permits(const Url& url) const;

    bool operator==(const AllowedOriginPolicy&) const = default;

private:
    explicit AllowedOriginPolicy(std::vector<Origin> origins)
        : m_origins(std::move(origins))
    {
    }

    // Sorted, without duplicates.
    std::vector<Origin> m_origins;
};

} // namespace quorin
