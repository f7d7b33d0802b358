#pragma once

// When each bridge request reached the UI process, on the benchmark clock. The page awaits
// every call before it makes the next, so the time between two arrivals is one full round
// trip measured with a nanosecond clock, where the page's own clock ticks in whole
// milliseconds. Main thread only.

#include <cstddef>
#include <vector>

namespace quorin::bench {

class RequestArrivalLog {
public:
    void record();
    void clear() { m_times.clear(); }
    const std::vector<double>& timesMs() const { return m_times; }

    // The gaps between consecutive arrivals of `count` calls that follow the first `skipped`
    // ones; needs one more arrival after them to close the last gap.
    std::vector<double> gapsMs(std::size_t skipped, std::size_t count) const;

private:
    std::vector<double> m_times;
};

} // namespace quorin::bench
