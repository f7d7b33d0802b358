#pragma once

// The one registered play session and the socket proxies that serve it. The game service
// writes it; the game scheme handler reads it. The store owns the attached proxies and stops
// them when the session ends. Main thread only.

#include "GameLaunchTicket.h"
#include "LauncherGameError.h"
#include "PlaySession.h"
#include "SocketProxy.h"
#include "core/Result.h"

#include <cstdint>
#include <iosfwd>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace quorin {

class GameSessionStore {
public:
    struct AttachedProxy {
        std::string host;
        std::int64_t port;
        std::shared_ptr<SocketProxy> proxy;
    };

    // What the game page is told about one running proxy.
    struct SocketMapping {
        std::string host;
        std::int64_t port;
        Url proxyURL;
        bool operator==(const SocketMapping&) const = default;
    };

    // Ends any earlier session first; registers `session` under a fresh random id unless it
    // has already expired at `now` (then the store stays empty).
    Result<GameLaunchTicket, LauncherGameError> open(PlaySession session, GameTime now);
    // Clears the session and stops the attached proxies in order.
    void close();

    // The session registered under `id`: expiredSession once its time has run out (it stays
    // registered), sessionUnavailable for any other id or none.
    Result<PlaySession, LauncherGameError> session(const Uuid& id, GameTime now) const;
    bool isActive(const Uuid& id) const;
    // One mapping per attached proxy with a known URL, in the configured order.
    Result<std::vector<SocketMapping>, LauncherGameError> socketMappings(const Uuid& id) const;
    // Accepted only for the active id, once, and when every proxy has its URL; otherwise
    // every proxy in `proxies` is stopped and the answer is sessionUnavailable.
    Status<LauncherGameError> attachSocketProxies(std::vector<AttachedProxy> proxies, const Uuid& id);

    // Diagnostics.
    std::size_t activeSessionCount() const { return m_active ? 1 : 0; }
    std::size_t socketConnectionCount() const;
    std::uint64_t socketBytesToServer() const;
    std::uint64_t socketBytesFromServer() const;

private:
    struct ActiveSession {
        Uuid id;
        PlaySession session;
    };

    std::optional<ActiveSession> m_active;
    std::vector<AttachedProxy> m_proxies;
};

// Names the counts, never the session's payload.
std::ostream& operator<<(std::ostream& stream, const GameSessionStore& store);

} // namespace quorin
