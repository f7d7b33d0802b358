// One cold start of a program that reports its start on standard output:
//   quorin_bench_startup COMMAND [ARGS...]
// Starts COMMAND, waits for a line ending in "ready", then measures the memory of the
// program and every process it started (web and network processes included), ends them all
// and prints one line of key=value figures:
//   ready_ms   from just before the program is started to the ready line
//   pss_mib    proportional set size of the whole process tree when ready (shared pages
//              counted once across the tree)
//   rss_mib    resident set size summed over the tree (shared pages counted in each)
//   processes  how many processes the tree held
//   cpu_ms     processor time (user and system) the tree had used when ready
//   ui_cpu_ms  the part of it used by the program's own process
// The processor times hold still on a machine shared with other work, where the wall-clock
// time does not.

#include "BenchClock.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fstream>
#include <map>
#include <optional>
#include <poll.h>
#include <set>
#include <spawn.h>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace quorin::bench {
namespace {

constexpr int readyTimeoutMs = 60000;

// Parent of every process, from /proc/PID/stat (the field after the parenthesised name).
std::map<pid_t, pid_t> parentsOfAllProcesses()
{
    std::map<pid_t, pid_t> parents;
    DIR* proc = opendir("/proc");
    if (!proc)
        return parents;
    while (dirent* entry = readdir(proc)) {
        char* end = nullptr;
        long pid = std::strtol(entry->d_name, &end, 10);
        if (*end != '\0' || pid <= 0)
            continue;
        std::ifstream file("/proc/" + std::string(entry->d_name) + "/stat");
        std::string stat((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
        auto nameEnd = stat.rfind(')');
        if (nameEnd == std::string::npos)
            continue;
        std::istringstream fields(stat.substr(nameEnd + 1));
        char state = 0;
        long parent = 0;
        if (fields >> state >> parent)
            parents[static_cast<pid_t>(pid)] = static_cast<pid_t>(parent);
    }
    closedir(proc);
    return parents;
}

std::set<pid_t> processTree(pid_t root)
{
    auto parents = parentsOfAllProcesses();
    std::set<pid_t> tree { root };
    for (bool grew = true; grew;) {
        grew = false;
        for (auto [pid, parent] : parents) {
            if (tree.contains(parent) && tree.insert(pid).second)
                grew = true;
        }
    }
    return tree;
}

// User and system time of a process from /proc/PID/stat (fields 14 and 15), in ms.
double cpuMilliseconds(pid_t pid)
{
    std::ifstream file("/proc/" + std::to_string(pid) + "/stat");
    std::string stat((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    auto nameEnd = stat.rfind(')');
    if (nameEnd == std::string::npos)
        return 0;
    std::istringstream fields(stat.substr(nameEnd + 1));
    std::string field;
    long ticks = 0;
    for (int number = 3; number <= 15 && fields >> field; ++number) {
        if (number >= 14)
            ticks += std::strtol(field.c_str(), nullptr, 10);
    }
    return static_cast<double>(ticks) * 1000.0 / static_cast<double>(sysconf(_SC_CLK_TCK));
}

// A "Key:   N kB" line of a /proc file, in kB.
std::optional<long> kilobytes(const std::string& path, const std::string& key)
{
    std::ifstream file(path);
    std::string line;
    while (std::getline(file, line)) {
        if (line.rfind(key + ":", 0) == 0)
            return std::strtol(line.c_str() + key.size() + 1, nullptr, 10);
    }
    return std::nullopt;
}

void endTree(const std::set<pid_t>& tree, pid_t root)
{
    for (pid_t pid : tree)
        kill(pid, SIGTERM);
    for (int waited = 0; waited < 50; ++waited) {
        if (waitpid(root, nullptr, WNOHANG) == root)
            return;
        usleep(100000);
    }
    for (pid_t pid : tree)
        kill(pid, SIGKILL);
    waitpid(root, nullptr, 0);
}

// Reads the child's output until a line ends in "ready"; false on end of output or timeout.
bool waitForReady(int descriptor)
{
    std::string pending;
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(readyTimeoutMs);
    while (std::chrono::steady_clock::now() < deadline) {
        pollfd poller { descriptor, POLLIN, 0 };
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now()).count();
        if (poll(&poller, 1, static_cast<int>(std::max<long long>(left, 0))) <= 0)
            continue;
        char buffer[4096];
        ssize_t count = read(descriptor, buffer, sizeof buffer);
        if (count <= 0)
            return false;
        pending.append(buffer, static_cast<std::size_t>(count));
        for (auto newline = pending.find('\n'); newline != std::string::npos; newline = pending.find('\n')) {
            std::string line = pending.substr(0, newline);
            pending.erase(0, newline + 1);
            if (line.size() >= 5 && line.compare(line.size() - 5, 5, "ready") == 0)
                return true;
            std::fprintf(stderr, "%s\n", line.c_str());
        }
    }
    return false;
}

int run(char** command)
{
    int output[2];
    if (pipe(output) != 0)
        return 1;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, output[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, output[0]);

    double startedMs = BenchClock::nowMs();
    pid_t child = 0;
    int spawnError = posix_spawnp(&child, command[0], &actions, nullptr, command, environ);
    posix_spawn_file_actions_destroy(&actions);
    close(output[1]);
    if (spawnError != 0) {
        std::fprintf(stderr, "cannot start %s: %s\n", command[0], std::strerror(spawnError));
        return 1;
    }

    bool ready = waitForReady(output[0]);
    double readyMs = BenchClock::nowMs() - startedMs;
    auto tree = processTree(child);
    double uiCpuMs = cpuMilliseconds(child);
    long pss = 0;
    long rss = 0;
    double cpuMs = 0;
    for (pid_t pid : tree) {
        cpuMs += cpuMilliseconds(pid);
        std::string base = "/proc/" + std::to_string(pid);
        pss += kilobytes(base + "/smaps_rollup", "Pss").value_or(0);
        rss += kilobytes(base + "/status", "VmRSS").value_or(0);
    }
    endTree(tree, child);
    close(output[0]);
    if (!ready) {
        std::fprintf(stderr, "%s did not report ready\n", command[0]);
        return 1;
    }
    std::printf("ready_ms=%.1f pss_mib=%.1f rss_mib=%.1f processes=%zu cpu_ms=%.0f ui_cpu_ms=%.0f\n", readyMs,
        static_cast<double>(pss) / 1024.0, static_cast<double>(rss) / 1024.0, tree.size(), cpuMs, uiCpuMs);
    return 0;
}

} // namespace
} // namespace quorin::bench

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s COMMAND [ARGS...]\n", argv[0]);
        return 64;
    }
    return quorin::bench::run(argv + 1);
}
