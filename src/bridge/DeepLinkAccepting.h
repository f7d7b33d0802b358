#pragma once

#include "core/Url.h"

namespace quorin {

// The deep-link intake of the bridge service: the root model hands every URL the system
// asks the application to open to this interface. Main thread only.
class DeepLinkAccepting {
public:
    virtual ~DeepLinkAccepting() = default;
    // True when the URL was recognised and routed to the page.
    virtual bool acceptDeepLink(const Url& url) = 0;
};

} // namespace quorin
