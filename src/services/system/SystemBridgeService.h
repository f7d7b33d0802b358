#pragma once

// The bridge methods that act on the desktop: external links, the clipboard, the file
// viewer, and the window, zoom and audio commands. Checks each request's arguments and hands
// the command to the window layer; a refused request never reaches it. Main thread only.

#include "RevealRoots.h"
#include "SystemBridgeError.h"
#include "SystemCommandHandling.h"
#include "bridge/SystemBridgePort.h"

#include <memory>
#include <vector>

namespace quorin {

class SystemBridgeService final : public SystemBridgePort {
public:
    inline static constexpr std::size_t maximumCopyTextBytes = 16384;

    // `allowedRevealRoots`: file URLs of the folders "showItemInFolder" may show into.
    SystemBridgeService(std::shared_ptr<SystemCommandHandling> commands, std::vector<Url> allowedRevealRoots);

    // Answers at once, before returning.
    void handle(const BridgeRequest& request, BridgeServiceCompletion completion) override;

private:
    Result<BridgeValue, SystemBridgeError> perform(const BridgeRequest& request);

    std::shared_ptr<SystemCommandHandling> m_commands;
    RevealRoots m_revealRoots;
};

} // namespace quorin
