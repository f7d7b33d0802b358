#pragma once

// One checked play payload: what the game page may start, and until when. Its text form
// never shows the user or key values, so no log line or test failure can.

#include "core/Url.h"

#include <chrono>
#include <functional>
#include <iosfwd>
#include <map>
#include <string>

namespace quorin {

// Expiry is wall-clock time.
using GameTime = std::chrono::system_clock::time_point;
using GameClock = std::function<GameTime()>;

struct PlaySession {
    inline static constexpr std::chrono::seconds lifetime { 60 };

    std::string serverID;
    // The "flash" directory URL with "Loading.swf" appended.
    Url movieURL;
    // The "flash" directory URL itself, ending in "/".
    Url baseURL;
    // Exactly "user", "key", "config", "lang" and "locale".
    std::map<std::string, std::string> parameters;
    GameTime expiresAt;

    // "PlaySession(payload=redacted)", always.
    std::string description() const;

    bool operator==(const PlaySession&) const = default;
};

std::ostream& operator<<(std::ostream& stream, const PlaySession& session);

} // namespace quorin
