#pragma once

// What the bridge service needs of the deep-link router. Main thread only.

#include "LauncherBridgeServicing.h"
#include "core/Url.h"

#include <optional>
#include <string>

namespace quorin {

// Where an accepted link went: kept as the start-up URL, or an event string for the page.
struct DeepLinkDelivery {
    std::optional<std::string> pageEvent;

    static DeepLinkDelivery storedAsStartupURL() { return {}; }
    static DeepLinkDelivery event(std::string text) { return { std::move(text) }; }
};

class DeepLinkBridgePort {
public:
    virtual ~DeepLinkBridgePort() = default;
    // nullopt when the link is refused.
    virtual std::optional<DeepLinkDelivery> route(const Url& url) = 0;
    // Marks the start-up URL as asked for and takes the pending one, leaving none.
    virtual std::optional<std::string> takeStartupURL() = 0;
    // A new one-time state for an external login.
    virtual Result<std::string, BridgeServiceError> beginExternalLogin() = 0;
};

} // namespace quorin
