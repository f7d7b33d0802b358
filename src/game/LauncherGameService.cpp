#include "LauncherGameService.h"

namespace quorin {

struct LauncherGameService::PendingOpen {
    PlaySession session;
    Uuid generation;
    // Every proxy made for this open, the one still starting included.
    std::vector<GameSessionStore::AttachedProxy> proxies;
    BridgeServiceCompletion completion;

    void stopProxies() const
    {
        for (const auto& attached : proxies)
            attached.proxy->stop();
    }
    void finish(BridgeServiceResult result) { std::exchange(completion, {})(std::move(result)); }
};

namespace {

BridgeServiceResult gameFailure(const LauncherGameError& error)
{
    return fail(BridgeServiceError::coded(error));
}

} // namespace

std::shared_ptr<LauncherGameService> LauncherGameService::create(const std::vector<Url>& allowedOrigins, std::vector<GameSocketEndpoint> sockets, GameClock now)
{
    if (!now)
        now = [] { return std::chrono::system_clock::now(); };
    return std::shared_ptr<LauncherGameService>(new LauncherGameService(allowedOrigins, std::move(sockets), std::move(now)));
}

LauncherGameService::LauncherGameService(const std::vector<Url>& allowedOrigins, std::vector<GameSocketEndpoint> sockets, GameClock now)
    : m_sessions(std::make_shared<GameSessionStore>())
    , m_adapter(allowedOrigins)
    , m_sockets(std::move(sockets))
    , m_generation(Uuid::random())
    , m_now(std::move(now))
{
}

void LauncherGameService::handleGame(const BridgeRequest& request, BridgeServiceCompletion completion)
{
    switch (request.method()) {
    case BridgeMethod::GameClose:
        if (!request.arguments().empty())
            return completion(gameFailure(LauncherGameError::invalidSession()));
        invalidate();
        return completion(BridgeValue::boolean(true));
    case BridgeMethod::GameOpen:
        return open(request, std::move(completion));
    default:
        return completion(gameFailure(LauncherGameError::invalidSession()));
    }
}

void LauncherGameService::invalidate()
{
    m_generation = Uuid::random();
    m_sessions->close();
}

void LauncherGameService::open(const BridgeRequest& request, BridgeServiceCompletion completion)
{
    const auto& arguments = request.arguments();
    if (arguments.size() != 1 || !arguments.front().isObject())
        return completion(gameFailure(LauncherGameError::invalidSession()));
    auto receivedAt = m_now();
    auto session = m_adapter.adapt(arguments.front().asObject(), receivedAt, receivedAt);
    if (session.isError())
        return completion(gameFailure(session.error()));

    // The previous game ends here, before any proxy of this one starts.
    invalidate();
    startNextProxy(std::make_shared<PendingOpen>(PendingOpen { session.releaseValue(), m_generation, {}, std::move(completion) }));
}

void LauncherGameService::startNextProxy(const std::shared_ptr<PendingOpen>& pending)
{
    if (pending->proxies.size() == m_sockets.size())
        return registerSession(*pending);
    const auto& endpoint = m_sockets[pending->proxies.size()];
    auto proxy = endpoint.makeProxy();
    pending->proxies.push_back({ endpoint.host, endpoint.port, proxy });
    proxy->start([weakThis = weak_from_this(), pending](Result<Url, LauncherGameError> started) {
        auto service = weakThis.lock();
        if (!service) {
            pending->stopProxies();
            return pending->finish(gameFailure(LauncherGameError::socketUnavailable()));
        }
        // The proxy keeps its URL. Another generation: a close, an invalidation or a newer open came first.
        if (started.isError() || service->m_generation != pending->generation)
            return service->failOpen(*pending);
        service->startNextProxy(pending);
    });
}

void LauncherGameService::registerSession(PendingOpen& pending)
{
    auto ticket = m_sessions->open(pending.session, m_now());
    if (ticket.isError() || m_sessions->attachSocketProxies(pending.proxies, ticket->id).isError())
        return failOpen(pending);
    pending.finish(BridgeValue::object({
        { "ok", BridgeValue::boolean(true) },
        { "hostURL", BridgeValue::string(ticket->hostURL().string()) },
    }));
}

void LauncherGameService::failOpen(PendingOpen& pending)
{
    pending.stopProxies();
    if (m_generation == pending.generation)
        m_sessions->close();
    pending.finish(gameFailure(LauncherGameError::socketUnavailable()));
}

} // namespace quorin
