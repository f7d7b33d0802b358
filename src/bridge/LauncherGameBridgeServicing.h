#pragma once

// What the bridge service needs of the game service: "game.open" and "game.close", whose
// arguments the game service checks itself. Main thread only.

#include "LauncherBridgeServicing.h"

#include <string_view>

namespace quorin {

class LauncherGameBridgeServicing {
public:
    virtual ~LauncherGameBridgeServicing() = default;
    // Carried in the value {"ok": false, "code": ...} while there is no game service.
    static constexpr std::string_view unavailableCode = "GAME_UNAVAILABLE";
    virtual void handleGame(const BridgeRequest& request, BridgeServiceCompletion completion) = 0;
};

} // namespace quorin
