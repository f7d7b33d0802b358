#pragma once

// The bridge's game methods. "game.open" checks the page's play payload, starts one local
// socket proxy per configured game socket, registers the session and answers with its host
// page; "game.close" ends the session. Each open, close and invalidation draws a new
// generation: an open still waiting for a proxy that finds another generation when it
// resumes has been superseded, fails, and stops the proxies it started. Main thread only.

#include "GameSessionStore.h"
#include "PlaySessionAdapter.h"
#include "SocketProxy.h"
#include "bridge/LauncherGameBridgeServicing.h"

#include <memory>
#include <vector>

namespace quorin {

class LauncherGameService final : public LauncherGameBridgeServicing,
                                  public std::enable_shared_from_this<LauncherGameService> {
public:
    // `sockets` in the configured order; without a clock, the system's wall clock.
    static std::shared_ptr<LauncherGameService> create(const std::vector<Url>& allowedOrigins, std::vector<GameSocketEndpoint> sockets, GameClock now = {});

    // Answers "game.close" at once and "game.open" once its proxies have started; an open
    // that fails after its payload was accepted answers socketUnavailable.
    void handleGame(const BridgeRequest& request, BridgeServiceCompletion completion) override;
    // Ends the game: the session and its proxies go, and an open in progress fails.
    void invalidate();

    // The store the game scheme handler reads.
    std::shared_ptr<const GameSessionStore> sessions() const { return m_sessions; }

private:
    struct PendingOpen;

    LauncherGameService(const std::vector<Url>& allowedOrigins, std::vector<GameSocketEndpoint> sockets, GameClock now);

    void open(const BridgeRequest& request, BridgeServiceCompletion completion);
    void startNextProxy(const std::shared_ptr<PendingOpen>& pending);
    void registerSession(PendingOpen& pending);
    void failOpen(PendingOpen& pending);

    std::shared_ptr<GameSessionStore> m_sessions;
    PlaySessionAdapter m_adapter;
    std::vector<GameSocketEndpoint> m_sockets;
    Uuid m_generation;
    GameClock m_now;
};

} // namespace quorin
