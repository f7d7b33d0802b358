#include "GameSessionStore.h"

#include <algorithm>
#include <numeric>
#include <ostream>

namespace quorin {

namespace {

void stopAll(const std::vector<GameSessionStore::AttachedProxy>& proxies)
{
    for (const auto& attached : proxies)
        attached.proxy->stop();
}

template<typename Sum, typename Counter>
Sum sumOver(const std::vector<GameSessionStore::AttachedProxy>& proxies, Counter counter)
{
    return std::accumulate(proxies.begin(), proxies.end(), Sum { 0 },
        [counter](Sum sum, const auto& attached) { return sum + ((*attached.proxy).*counter)(); });
}

} // namespace

Result<GameLaunchTicket, LauncherGameError> GameSessionStore::open(PlaySession session, GameTime now)
{
    close();
    if (now >= session.expiresAt)
        return fail(LauncherGameError::expiredSession());
    auto id = Uuid::random();
    m_active = ActiveSession { id, std::move(session) };
    return GameLaunchTicket { id };
}

void GameSessionStore::close()
{
    m_active.reset();
    // Taken out first: a proxy's stop must not find itself still listed.
    auto proxies = std::exchange(m_proxies, {});
    stopAll(proxies);
}

Result<PlaySession, LauncherGameError> GameSessionStore::session(const Uuid& id, GameTime now) const
{
    if (!isActive(id))
        return fail(LauncherGameError::sessionUnavailable());
    if (now >= m_active->session.expiresAt)
        return fail(LauncherGameError::expiredSession());
    return m_active->session;
}

bool GameSessionStore::isActive(const Uuid& id) const
{
    return m_active && m_active->id == id;
}

Result<std::vector<GameSessionStore::SocketMapping>, LauncherGameError> GameSessionStore::socketMappings(const Uuid& id) const
{
    if (!isActive(id))
        return fail(LauncherGameError::sessionUnavailable());
    std::vector<SocketMapping> mappings;
    for (const auto& [host, port, proxy] : m_proxies) {
        if (auto url = proxy->webSocketURL())
            mappings.push_back({ host, port, std::move(*url) });
    }
    return mappings;
}

Status<LauncherGameError> GameSessionStore::attachSocketProxies(std::vector<AttachedProxy> proxies, const Uuid& id)
{
    bool allRunning = std::all_of(proxies.begin(), proxies.end(), [](const auto& attached) { return attached.proxy->webSocketURL().has_value(); });
    if (!isActive(id) || !m_proxies.empty() || !allRunning) {
        stopAll(proxies);
        return fail(LauncherGameError::sessionUnavailable());
    }
    m_proxies = std::move(proxies);
    return Ok {};
}

std::size_t GameSessionStore::socketConnectionCount() const
{
    return sumOver<std::size_t>(m_proxies, &SocketProxy::activeConnectionCount);
}

std::uint64_t GameSessionStore::socketBytesToServer() const
{
    return sumOver<std::uint64_t>(m_proxies, &SocketProxy::bytesToServer);
}

std::uint64_t GameSessionStore::socketBytesFromServer() const
{
    return sumOver<std::uint64_t>(m_proxies, &SocketProxy::bytesFromServer);
}

std::ostream& operator<<(std::ostream& stream, const GameSessionStore& store)
{
    return stream << "GameSessionStore(sessions=" << store.activeSessionCount() << ", payload=redacted)";
}

} // namespace quorin
