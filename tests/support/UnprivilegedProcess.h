#pragma once

// Permission checks do not apply to root, and the test suite usually runs as root. This
// runs a piece of work in a forked child that has switched to the "nobody" user (when the
// suite runs as root) so that file modes mean something again.

#include <cerrno>
#include <functional>
#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>

namespace quorin::testing {

// The work's result (0 to 254) as the child's exit status; -1 when
// the child could not start, switch users or finish normally.
inline int runUnprivileged(const std::function<int()>& work)
{
    pid_t child = fork();
    if (child < 0)
        return -1;
    if (child == 0) {
        constexpr uid_t nobody = 65534;
        if (geteuid() == 0 && (setgroups(0, nullptr) != 0 || setgid(nobody) != 0 || setuid(nobody) != 0))
            _exit(255);
        _exit(work() & 0xFF);
    }
    int status = 0;
    while (waitpid(child, &status, 0) < 0) {
        if (errno != EINTR)
            return -1;
    }
    if (!WIFEXITED(status) || WEXITSTATUS(status) == 255)
        return -1;
    return WEXITSTATUS(status);
}

} // namespace quorin::testing
