#include "DeepLinkRouterError.h"

namespace quorin {

std::string DeepLinkRouterError::code() const
{
    switch (errorCase) {
    case Case::URLDenied:
        return "DEEP_LINK_URL_DENIED";
    case Case::RouteDenied:
        return "DEEP_LINK_ROUTE_DENIED";
    case Case::StateRejected:
        return "DEEP_LINK_STATE_REJECTED";
    }
    return "DEEP_LINK_URL_DENIED"; // unreachable: the switch covers every case
}

} // namespace quorin
