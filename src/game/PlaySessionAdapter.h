#pragma once

// Turns the page's play payload into a PlaySession. The page is not trusted: every member is
// checked against fixed rules and the configured game origins, and the first rule that fails
// decides the error. Other members of the payload are ignored.

#include "LauncherGameError.h"
#include "PlaySession.h"
#include "bridge/BridgeValue.h"
#include "core/Result.h"

#include <set>
#include <string>
#include <vector>

namespace quorin {

class PlaySessionAdapter {
public:
    // Keeps the HTTPS origins (port absent or 443) as "https://" plus the lower-case host;
    // anything else is dropped.
    explicit PlaySessionAdapter(const std::vector<Url>& allowedOrigins);

    // `receivedAt` must be plausible against `now` (not more than 5 s ahead, less than the
    // session lifetime behind), else expiredSession; any broken member is invalidSession.
    Result<PlaySession, LauncherGameError> adapt(const BridgeValue::Object& payload, GameTime receivedAt, GameTime now) const;

private:
    Result<Url, LauncherGameError> remoteURL(const std::string& text) const;

    std::set<std::string> m_allowedOrigins;
};

} // namespace quorin
