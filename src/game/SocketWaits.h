#pragma once

// Waits for a few sockets to become readable or writable through one main-loop source that
// lives as long as its holder. A wait is a step stored in place: the source stays attached and
// only the conditions it polls for change, and only when they do. A wait through a GIO
// asynchronous call instead allocates a task and a source and wakes the loop each time, which
// a relay pays on every message. Platform code only; main thread only.

#include <gio/gio.h>

#include <array>
#include <functional>

namespace quorin {

class SocketWaits {
public:
    enum Way { Read, Write };
    static constexpr std::size_t capacity = 2;

    // `turn` runs before the steps of each dispatch; `broken` runs when a socket reports a
    // hang-up or an error that no waiting step takes. Either may destroy the holder.
    SocketWaits(std::function<void()> turn, std::function<void()> broken);
    ~SocketWaits();
    SocketWaits(const SocketWaits&) = delete;
    SocketWaits& operator=(const SocketWaits&) = delete;

    // Watches one more socket (at most `capacity`); returns its index for wait().
    std::size_t add(GSocket* socket);
    // Runs `step` once the socket is ready that way, or has failed: the step tries again and
    // finds out which. One step per socket and way; a step may destroy the holder.
    void wait(std::size_t socket, Way way, std::function<void()> step);

private:
    struct Watched {
        gpointer tag { nullptr };
        GIOCondition polled { static_cast<GIOCondition>(0) };
        std::array<std::function<void()>, 2> steps; // by Way
    };

    static gboolean dispatch(GSource* source, GSourceFunc, gpointer);
    void dispatchOnce();
    void pollForWaitingSteps();

    GSource* m_source;
    std::function<void()> m_turn;
    std::function<void()> m_broken;
    std::array<Watched, capacity> m_watched;
    std::size_t m_count { 0 };
    bool* m_destroyedWhileDispatching { nullptr };
};

} // namespace quorin
