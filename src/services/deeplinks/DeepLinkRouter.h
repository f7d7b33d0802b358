#pragma once

// Checks every incoming "quorin42:" link, keeps the one-time states of external logins in
// progress, and holds the latest link until the page first asks for its start-up URL; from
// then on links go to the page as events. Main thread only.

#include "DeepLinkRouterError.h"
#include "bridge/DeepLinkBridgePort.h"

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace quorin {

class DeepLinkRouter final : public DeepLinkBridgePort {
public:
    using Clock = std::function<std::chrono::steady_clock::time_point()>;
    using StateGenerator = std::function<std::string()>;

    inline static constexpr std::size_t maximumPendingStates = 8;
    inline static constexpr std::size_t maximumStateBytes = 256;
    inline static constexpr double minimumStateLifetime = 1;
    inline static constexpr double maximumStateLifetime = 3600;

    // The lifetime (seconds) is clamped to 1 ... 3,600. Without a generator states are random
    // lower-case UUIDs; without a clock time is the steady clock's.
    explicit DeepLinkRouter(double stateLifetimeSeconds, StateGenerator generator = {}, Clock now = {});

    double stateLifetimeSeconds() const { return m_stateLifetime.count(); }

    // A new state for the external login URL; valid once, until the lifetime has passed or
    // 8 newer states have pushed it out.
    std::string newLoginState();
    // Where an accepted link goes. A login callback uses up its state.
    Result<DeepLinkDelivery, DeepLinkRouterError> routeLink(const Url& url);

    std::optional<DeepLinkDelivery> route(const Url& url) override;
    std::optional<std::string> takeStartupURL() override;
    Result<std::string, BridgeServiceError> beginExternalLogin() override { return newLoginState(); }

private:
    struct PendingState {
        std::string value;
        std::chrono::steady_clock::time_point expiresAt;
    };

    void pruneExpiredStates();
    bool isPending(const std::string& state) const;

    StateGenerator m_generator;
    Clock m_now;
    std::chrono::duration<double> m_stateLifetime;
    // Oldest first.
    std::vector<PendingState> m_pendingStates;
    std::optional<std::string> m_pendingStartupURL;
    bool m_startupURLWasRequested { false };
};

} // namespace quorin
