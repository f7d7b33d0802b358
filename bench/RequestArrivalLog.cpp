#include "RequestArrivalLog.h"

#include "BenchClock.h"

namespace quorin::bench {

void RequestArrivalLog::record()
{
    m_times.push_back(BenchClock::nowMs());
}

std::vector<double> RequestArrivalLog::gapsMs(std::size_t skipped, std::size_t count) const
{
    std::vector<double> gaps;
    for (std::size_t index = skipped; index < skipped + count && index + 1 < m_times.size(); ++index)
        gaps.push_back(m_times[index + 1] - m_times[index]);
    return gaps;
}

} // namespace quorin::bench
