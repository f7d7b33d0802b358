#pragma once

// A process looked up by id through /proc, and the application bundle its executable sits in:
// the helper's way to recognise the launcher that handed it a job and to watch it quit.

#include <optional>
#include <string>
#include <sys/types.h>

namespace quorin {

struct RunningApplication {
    // The bundle holding /proc/PID/exe; nullopt when the executable is not in a bundle or
    // cannot be read.
    std::optional<std::string> bundlePath;

    // nullopt when no process has the id or it has ended (a zombie its parent has not reaped).
    static std::optional<RunningApplication> find(pid_t pid);
};

} // namespace quorin
