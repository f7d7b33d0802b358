#include "ApplicationRelaunch.h"

#include "RunningApplication.h"

#include "core/ApplicationBundle.h"
#include "core/FilePath.h"
#include "core/ProductIdentity.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace quorin {

namespace {

// posix_spawn attributes and file actions, destroyed on every way out.
struct SpawnSetup {
    posix_spawnattr_t attributes;
    posix_spawn_file_actions_t actions;

    SpawnSetup()
    {
        posix_spawnattr_init(&attributes);
        posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSID);
        posix_spawn_file_actions_init(&actions);
        for (int descriptor : { STDIN_FILENO, STDOUT_FILENO, STDERR_FILENO })
            posix_spawn_file_actions_addopen(&actions, descriptor, "/dev/null", descriptor == STDIN_FILENO ? O_RDONLY : O_WRONLY, 0);
    }
    SpawnSetup(const SpawnSetup&) = delete;
    SpawnSetup& operator=(const SpawnSetup&) = delete;
    ~SpawnSetup()
    {
        posix_spawn_file_actions_destroy(&actions);
        posix_spawnattr_destroy(&attributes);
    }
};

bool hasExited(pid_t pid)
{
    int status = 0;
    return ::waitpid(pid, &status, WNOHANG) == pid || !RunningApplication::find(pid);
}

} // namespace

Status<UpdateFailure> relaunchApplication(const std::string& bundle, std::chrono::milliseconds liveness)
{
    auto executable = filePath::joined(ApplicationBundle(bundle).contentsPath(), "MacOS/" + std::string(ProductIdentity::executableName));
    SpawnSetup setup;
    char* arguments[] = { executable.data(), nullptr };
    pid_t pid = 0;
    if (int error = ::posix_spawn(&pid, executable.c_str(), &setup.actions, &setup.attributes, arguments, environ); error != 0)
        return fail(UpdateFailure(FileSystemError::fromErrno(executable, error)));
    auto started = RunningApplication::find(pid);
    if (!started || started->bundlePath != filePath::standardized(bundle))
        return fail(UpdateFailure(LauncherUpdateError::launch()));
    std::this_thread::sleep_for(liveness);
    if (hasExited(pid))
        return fail(UpdateFailure(LauncherUpdateError::launch()));
    return Ok {};
}

} // namespace quorin
