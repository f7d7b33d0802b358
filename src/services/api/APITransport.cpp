#include "APITransport.h"

#include "APIHeaderText.h"
#include "RestrictedURLSessionLoader.h"

#include <algorithm>
#include <cmath>

namespace quorin {

namespace {

std::size_t clampedResponseLimit(std::size_t maximumResponseBytes)
{
    return std::clamp<std::size_t>(maximumResponseBytes, 1, APITransport::largestResponseLimit);
}

} // namespace

// One request between execute() and its answer: its cancellable, its timer and the caller's
// completion. Owned by the transport's list while it runs.
struct APITransport::InFlight {
    InFlight(APITransport& transport, Completion answer)
        : owner(transport)
        , completion(std::move(answer))
    {
    }
    ~InFlight()
    {
        if (timer)
            g_source_remove(timer);
    }
    InFlight(const InFlight&) = delete;
    InFlight& operator=(const InFlight&) = delete;

    void startTimer(double seconds)
    {
        timer = g_timeout_add_full(G_PRIORITY_DEFAULT, static_cast<guint>(std::ceil(seconds * 1000)), expire, this, nullptr);
    }
    // The timer lives no longer than the request, so `data` is still this request.
    static gboolean expire(gpointer data)
    {
        auto& flight = *static_cast<InFlight*>(data);
        flight.timer = 0;
        g_cancellable_cancel(flight.cancellable.get());
        flight.owner.finish(flight, fail(APITransportError::timeout()));
        return G_SOURCE_REMOVE;
    }

    APITransport& owner;
    Completion completion;
    glib::GRef<GCancellable> cancellable { glib::adoptGRef(g_cancellable_new()) };
    guint timer { 0 };
};

APITransport::APITransport(AllowedOriginPolicy policy, std::string applicationVersion, std::size_t maximumResponseBytes)
    : APITransport(policy, std::move(applicationVersion), maximumResponseBytes,
        std::make_unique<RestrictedURLSessionLoader>(policy, clampedResponseLimit(maximumResponseBytes)))
{
}

APITransport::APITransport(AllowedOriginPolicy policy, std::string applicationVersion, std::size_t maximumResponseBytes, std::unique_ptr<APIDataLoading> loader)
    : m_policy(std::move(policy))
    , m_applicationVersion(sanitizedApplicationVersion(applicationVersion))
    , m_maximumResponseBytes(clampedResponseLimit(maximumResponseBytes))
    , m_loader(std::move(loader))
{
}

APITransport::~APITransport()
{
    for (auto& flight : std::exchange(m_inFlight, {})) {
        g_cancellable_cancel(flight->cancellable.get());
        flight->completion(fail(APITransportError::cancelled()));
    }
}

void APITransport::execute(const APIRequest& request, Completion completion)
{
    auto flight = std::make_shared<InFlight>(*this, std::move(completion));
    m_inFlight.push_back(flight);
    flight->startTimer(request.timeoutSeconds());
    // The loader dies with the transport, so `this` outlives every answer it gives.
    m_loader->data(prepared(request), flight->cancellable.get(), [this, weakFlight = std::weak_ptr(flight)](auto result) {
        auto running = weakFlight.lock();
        if (!running)
            return;
        if (result.isError())
            return finish(*running, fail(result.releaseError()));
        finish(*running, APIResponse::from(result.releaseValue(), m_policy, m_maximumResponseBytes));
    });
}

void APITransport::request(const BridgeValue& requestObject, BridgeServiceCompletion completion)
{
    auto request = APIRequest::decode(requestObject, m_policy);
    if (request.isError())
        return completion(fail(BridgeServiceError::coded(request.error())));
    execute(request.value(), [completion = std::move(completion)](Result<APIResponse, APITransportError> result) {
        if (result.isError())
            return completion(fail(BridgeServiceError::coded(result.error())));
        completion(result->bridgeValue());
    });
}

APIHTTPRequest APITransport::prepared(const APIRequest& request) const
{
    APIHTTPRequest prepared { request.url(), std::string(APIRequest::wireString(request.method())), {}, request.body() };
    for (const auto& [name, value] : request.headers()) {
        // The page's own "x-app" gives way to the launcher's.
        if (name != "x-app")
            prepared.headers.emplace_back(name, value);
    }
    prepared.headers.emplace_back("X-APP", m_applicationVersion);
    return prepared;
}

// The first answer wins: a load that ends after its timer, or after the transport answered
// everything on its way out, finds its request gone.
void APITransport::finish(InFlight& flight, Result<APIResponse, APITransportError> result)
{
    auto found = std::find_if(m_inFlight.begin(), m_inFlight.end(), [&](const auto& entry) { return entry.get() == &flight; });
    if (found == m_inFlight.end())
        return;
    auto finished = std::move(*found);
    m_inFlight.erase(found);
    finished->completion(std::move(result));
}

} // namespace quorin
