#pragma once

// Hands work to a later turn of the main loop. Platform code only.

#include <glib.h>

#include <functional>
#include <utility>

namespace quorin::glib {

// Runs `task` once, in a later turn of the main thread's loop, at `priority`. The source owns
// the task and frees it after the run (or when the loop goes away without running it). A task
// that touches an owner which may die first captures it weakly, or is AsyncScope::guarded.
inline void runOnMainLoop(std::function<void()> task, int priority = G_PRIORITY_DEFAULT)
{
    using Task = std::function<void()>;
    g_idle_add_full(
        priority,
        [](gpointer data) -> gboolean {
            (*static_cast<Task*>(data))();
            return G_SOURCE_REMOVE;
        },
        new Task(std::move(task)), [](gpointer data) { delete static_cast<Task*>(data); });
}

} // namespace quorin::glib
