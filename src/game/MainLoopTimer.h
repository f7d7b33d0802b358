#pragma once

// A repeating timer on the main loop that lives as long as its holder: destroying or
// replacing the holder removes the timer, also from inside the timer's own callback (GLib
// keeps the callback alive until it returns). Platform code only; main thread only.

#include <glib.h>

#include <chrono>
#include <functional>
#include <utility>

namespace quorin {

class MainLoopTimer {
public:
    MainLoopTimer() = default;
    MainLoopTimer(std::chrono::milliseconds interval, std::function<void()> tick)
        : m_source(g_timeout_add_full(G_PRIORITY_DEFAULT, static_cast<guint>(interval.count()), fire,
              new std::function<void()>(std::move(tick)), release))
    {
    }
    MainLoopTimer(const MainLoopTimer&) = delete;
    MainLoopTimer& operator=(MainLoopTimer&& other) noexcept
    {
        std::swap(m_source, other.m_source);
        return *this;
    }
    ~MainLoopTimer()
    {
        if (m_source)
            g_source_remove(m_source);
    }

private:
    static gboolean fire(gpointer tick)
    {
        (*static_cast<std::function<void()>*>(tick))();
        return G_SOURCE_CONTINUE;
    }
    static void release(gpointer tick) { delete static_cast<std::function<void()>*>(tick); }

    guint m_source { 0 };
};

} // namespace quorin
