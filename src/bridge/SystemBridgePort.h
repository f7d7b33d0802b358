#pragma once

// What the bridge service needs of the system commands: external links, clipboard, reveal,
// window, zoom and audio requests, each checked and carried out. Main thread only.

#include "LauncherBridgeServicing.h"

namespace quorin {

class SystemBridgePort {
public:
    virtual ~SystemBridgePort() = default;
    virtual void handle(const BridgeRequest& request, BridgeServiceCompletion completion) = 0;
};

} // namespace quorin
