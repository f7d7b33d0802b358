#pragma once

// Times for the start-up benchmark, all on the boot-time clock: the kernel records a
// process's start on that clock, so "since the process began" needs no clock conversion.

#include <optional>

namespace quorin::bench {

class BenchClock {
public:
    // Milliseconds since boot, now.
    static double nowMs();
    // When the kernel created this process (fork), in milliseconds since boot. The kernel
    // keeps it in clock ticks (usually 10 ms), truncated, so elapsed times measured from it
    // read up to one tick long. nullopt when /proc cannot be read.
    static std::optional<double> processStartMs();
};

} // namespace quorin::bench
