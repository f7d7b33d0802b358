#include "DeepLinkRouter.h"

#include "DeepLink.h"
#include "core/Uuid.h"
#include "core/WhiteSpace.h"

#include <algorithm>

namespace quorin {

namespace {

std::string randomState()
{
    return Uuid::random().lowerString();
}

// Trimmed of surrounding whitespace and line breaks; nullopt when empty or too long.
std::optional<std::string> normalisedState(std::string_view text)
{
    auto state = trimmedWhiteSpace(text);
    if (state.empty() || state.size() > DeepLinkRouter::maximumStateBytes)
        return std::nullopt;
    return std::string(state);
}

// NaN takes the minimum.
double clampedLifetime(double seconds)
{
    if (!(seconds >= DeepLinkRouter::minimumStateLifetime))
        return DeepLinkRouter::minimumStateLifetime;
    return std::min(seconds, DeepLinkRouter::maximumStateLifetime);
}

} // namespace

DeepLinkRouter::DeepLinkRouter(double stateLifetimeSeconds, StateGenerator generator, Clock now)
    : m_generator(generator ? std::move(generator) : StateGenerator(randomState))
    , m_now(now ? std::move(now) : Clock(std::chrono::steady_clock::now))
    , m_stateLifetime(clampedLifetime(stateLifetimeSeconds))
{
}

void DeepLinkRouter::pruneExpiredStates()
{
    auto now = m_now();
    std::erase_if(m_pendingStates, [now](const PendingState& state) { return state.expiresAt <= now; });
}

bool DeepLinkRouter::isPending(const std::string& state) const
{
    return std::any_of(m_pendingStates.begin(), m_pendingStates.end(), [&](const PendingState& pending) { return pending.value == state; });
}

std::string DeepLinkRouter::newLoginState()
{
    pruneExpiredStates();
    auto state = normalisedState(m_generator());
    // The fallback is random enough that it is not compared with the pending states.
    if (!state || isPending(*state))
        state = randomState();
    if (m_pendingStates.size() >= maximumPendingStates)
        m_pendingStates.erase(m_pendingStates.begin(), m_pendingStates.end() - (maximumPendingStates - 1));
    auto lifetime = std::chrono::duration_cast<std::chrono::steady_clock::duration>(m_stateLifetime);
    m_pendingStates.push_back({ *state, m_now() + lifetime });
    return *state;
}

Result<DeepLinkDelivery, DeepLinkRouterError> DeepLinkRouter::routeLink(const Url& url)
{
    auto link = TRY(DeepLink::parse(url));
    if (link.route == "auth") {
        pruneExpiredStates();
        auto matching = std::find_if(m_pendingStates.begin(), m_pendingStates.end(), [&](const PendingState& pending) { return pending.value == link.state; });
        if (matching == m_pendingStates.end())
            return fail(DeepLinkRouterError::stateRejected());
        m_pendingStates.erase(matching);
    }
    if (m_startupURLWasRequested)
        return DeepLinkDelivery::event(std::move(link.text));
    m_pendingStartupURL = std::move(link.text);
    return DeepLinkDelivery::storedAsStartupURL();
}

std::optional<DeepLinkDelivery> DeepLinkRouter::route(const Url& url)
{
    auto delivery = routeLink(url);
    if (delivery.isError())
        return std::nullopt;
    return delivery.releaseValue();
}

std::optional<std::string> DeepLinkRouter::takeStartupURL()
{
    m_startupURLWasRequested = true;
    return std::exchange(m_pendingStartupURL, std::nullopt);
}

} // namespace quorin
