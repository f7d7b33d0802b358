#pragma once

// Names a registered play session. Its host page lies under the session's own path prefix
// of the game scheme, so every later request of the game page says which session it is for.

#include "core/Url.h"
#include "core/Uuid.h"

namespace quorin {

struct GameLaunchTicket {
    Uuid id;

    // "quorin-game://app/<lower-case id>/host/index.html"
    Url hostURL() const;

    bool operator==(const GameLaunchTicket&) const = default;
};

} // namespace quorin
