#pragma once

#include <cstdint>

namespace qv {

// The CPU load between two readings of the system-wide idle time and the current time (both in
// 100-nanosecond units, the idle time summed over all processors).
class CpuLoadMeter {
public:
    void SetProcessorCount(unsigned count) { processorCount_ = count; }
    unsigned ProcessorCount() const { return processorCount_; }

    // The load in percent plus 0.5, so that truncation rounds; 0.0 for the first reading. A
    // reading with no time elapsed since the last keeps the last load.
    double Update(uint64_t idleTime, uint64_t currentTime);

    // The next reading only starts an interval (after a sleep, whose time would otherwise count
    // as a busy processor); the last load stands until the reading after it.
    void StartFreshInterval() { previousIdleTime_ = 0; }

private:
    unsigned processorCount_ = 0;
    uint64_t previousIdleTime_ = 0;
    uint64_t previousCurrentTime_ = 0;
    double load_ = 0.0;
};

// A double truncated toward zero, held to the int range (NaN gives 0), for figures that come
// from the platform and may be anything.
int TruncateToInt(double value);

} // namespace qv
