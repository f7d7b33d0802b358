#pragma once

#include <string>

namespace quorin {

// Why a deep link was refused, checked in this order.
struct DeepLinkRouterError {
    enum class Case {
        URLDenied,
        RouteDenied,
        StateRejected,
    };
    Case errorCase;

    static DeepLinkRouterError urlDenied() { return { Case::URLDenied }; }
    static DeepLinkRouterError routeDenied() { return { Case::RouteDenied }; }
    static DeepLinkRouterError stateRejected() { return { Case::StateRejected }; }

    // "DEEP_LINK_URL_DENIED", "DEEP_LINK_ROUTE_DENIED" or "DEEP_LINK_STATE_REJECTED".
    std::string code() const;

    bool operator==(const DeepLinkRouterError&) const = default;
};

} // namespace quorin
