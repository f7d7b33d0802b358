#include "RunningApplication.h"

#include "core/ApplicationBundle.h"
#include "core/FilePath.h"
#include "core/ReadableFile.h"

#include <filesystem>

namespace quorin {

namespace {

// The state letter of /proc/PID/stat follows the command name, which may itself hold ")".
bool hasEnded(const std::string& stat)
{
    auto close = stat.rfind(')');
    if (close == std::string::npos || close + 2 >= stat.size())
        return true;
    char state = stat[close + 2];
    return state == 'Z' || state == 'X';
}

} // namespace

std::optional<RunningApplication> RunningApplication::find(pid_t pid)
{
    auto folder = "/proc/" + std::to_string(pid);
    auto stat = ReadableFile::readContents(folder + "/stat", 4096);
    if (pid <= 0 || stat.isError() || hasEnded(*stat))
        return std::nullopt;
    std::error_code error;
    auto executable = std::filesystem::read_symlink(folder + "/exe", error);
    auto bundle = error ? std::nullopt : ApplicationBundle::containingExecutable(executable.string());
    return RunningApplication { bundle ? std::optional(filePath::standardized(bundle->rootPath())) : std::nullopt };
}

} // namespace quorin
