#include "SocketWaits.h"

#include <cassert>
#include <utility>

namespace quorin {

namespace {

struct WaitsSource {
    GSource base;
    SocketWaits* owner;
};

constexpr GIOCondition hangUpOrError = static_cast<GIOCondition>(G_IO_HUP | G_IO_ERR | G_IO_NVAL);

GIOCondition readiness(SocketWaits::Way way)
{
    return way == SocketWaits::Read ? G_IO_IN : G_IO_OUT;
}

} // namespace

SocketWaits::SocketWaits(std::function<void()> turn, std::function<void()> broken)
    : m_turn(std::move(turn))
    , m_broken(std::move(broken))
{
    static GSourceFuncs functions { nullptr, nullptr, dispatch, nullptr, nullptr, nullptr };
    m_source = g_source_new(&functions, sizeof(WaitsSource));
    reinterpret_cast<WaitsSource*>(m_source)->owner = this;
    // Otherwise the loop takes the sockets out of its poll set around every dispatch and wakes
    // itself up for each change. No step runs a loop of its own, so nothing re-enters.
    g_source_set_can_recurse(m_source, TRUE);
    g_source_attach(m_source, g_main_context_get_thread_default());
}

SocketWaits::~SocketWaits()
{
    if (m_destroyedWhileDispatching)
        *m_destroyedWhileDispatching = true;
    g_source_destroy(m_source);
    g_source_unref(m_source);
}

std::size_t SocketWaits::add(GSocket* socket)
{
    assert(m_count < capacity);
    // Polled for nothing until a step waits; hang-ups and errors are reported all the same.
    m_watched[m_count].tag = g_source_add_unix_fd(m_source, g_socket_get_fd(socket), static_cast<GIOCondition>(0));
    return m_count++;
}

void SocketWaits::wait(std::size_t socket, Way way, std::function<void()> step)
{
    m_watched[socket].steps[way] = std::move(step);
    if (!m_destroyedWhileDispatching) // a dispatch sets the conditions once its steps are done
        pollForWaitingSteps();
}

gboolean SocketWaits::dispatch(GSource* source, GSourceFunc, gpointer)
{
    reinterpret_cast<WaitsSource*>(source)->owner->dispatchOnce();
    return G_SOURCE_CONTINUE;
}

// Runs the steps whose sockets are ready. The owner may be gone after any callback.
void SocketWaits::dispatchOnce()
{
    bool destroyed = false;
    m_destroyedWhileDispatching = &destroyed;
    m_turn();
    if (destroyed)
        return;
    bool unclaimedFailure = false;
    for (std::size_t socket = 0; socket < m_count; ++socket) {
        GIOCondition ready = g_source_query_unix_fd(m_source, m_watched[socket].tag);
        bool claimed = false;
        for (Way way : { Read, Write }) {
            auto& step = m_watched[socket].steps[way];
            if (!step || !(ready & (readiness(way) | hangUpOrError)))
                continue;
            claimed = true;
            std::exchange(step, nullptr)();
            if (destroyed)
                return;
        }
        unclaimedFailure |= (ready & hangUpOrError) && !claimed;
    }
    m_destroyedWhileDispatching = nullptr;
    pollForWaitingSteps();
    if (unclaimedFailure)
        m_broken();
}

// Polls each socket for exactly the ways a step waits on; a ready socket nobody waits on
// would otherwise wake the loop again and again.
void SocketWaits::pollForWaitingSteps()
{
    for (std::size_t socket = 0; socket < m_count; ++socket) {
        auto& watched = m_watched[socket];
        auto wanted = static_cast<GIOCondition>((watched.steps[Read] ? G_IO_IN : 0) | (watched.steps[Write] ? G_IO_OUT : 0));
        if (wanted != watched.polled)
            g_source_modify_unix_fd(m_source, watched.tag, wanted);
        watched.polled = wanted;
    }
}

} // namespace quorin
