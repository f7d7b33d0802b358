#pragma once

// One game server the socket proxy may reach: a host of the game-server pattern on port
// 25565, and the lookup of its address, which refuses anything but public IPv4 addresses.

#include "core/Result.h"
#include "game/LauncherGameError.h"

#include <cstdint>
#include <functional>
#include <string>

namespace quorin {

using ResolvedAddress = Result<std::string, LauncherGameError>;
using ResolveCompletion = std::function<void(ResolvedAddress)>;

class SocketProxyConfiguration {
public:
    static constexpr std::uint16_t gameServerPort = 25565;

    // socketConfigurationInvalid unless the whole host matches the game-server pattern and
    // the port is 25565.
    static Result<SocketProxyConfiguration, LauncherGameError> create(std::string host, std::int64_t port);

    const std::string& host() const { return m_host; }
    std::uint16_t port() const { return gameServerPort; }

    // Looks the host up (IPv4 only; the system resolver runs on GIO's worker threads, off the
    // main loop) and calls `completion` on the main loop with the first address when every
    // address is public: socketUnavailable when the lookup fails or finds nothing,
    // socketConfigurationInvalid when any address is not public.
    void resolve(ResolveCompletion completion) const;

    bool operator==(const SocketProxyConfiguration&) const = default;

private:
    explicit SocketProxyConfiguration(std::string host)
        : m_host(std::move(host))
    {
    }

    std::string m_host;
};

} // namespace quorin
