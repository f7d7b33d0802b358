#include "BenchClock.h"

#include <charconv>
#include <ctime>
#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>

namespace quorin::bench {

double BenchClock::nowMs()
{
    timespec now {};
    clock_gettime(CLOCK_BOOTTIME, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

std::optional<double> BenchClock::processStartMs()
{
    std::ifstream file("/proc/self/stat");
    std::string stat((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    // The command name in parentheses may hold spaces; the numbered fields follow its last ')'.
    auto nameEnd = stat.rfind(')');
    if (nameEnd == std::string::npos)
        return std::nullopt;
    std::istringstream fields(stat.substr(nameEnd + 1));
    // Field 3 (state) comes first; the start time is field 22.
    std::string field;
    for (int number = 3; number <= 22; ++number) {
        if (!(fields >> field))
            return std::nullopt;
    }
    unsigned long long ticks = 0;
    auto [end, error] = std::from_chars(field.data(), field.data() + field.size(), ticks);
    long ticksPerSecond = sysconf(_SC_CLK_TCK);
    if (error != std::errc() || end != field.data() + field.size() || ticksPerSecond <= 0)
        return std::nullopt;
    return static_cast<double>(ticks) * 1e3 / static_cast<double>(ticksPerSecond);
}

} // namespace quorin::bench
