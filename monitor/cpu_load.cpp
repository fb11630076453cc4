#include "monitor/cpu_load.h"

#include <climits>
#include <cmath>

namespace qv {

double CpuLoadMeter::Update(uint64_t idleTime, uint64_t currentTime) {
    if (previousIdleTime_ != 0) {
        const double timeDelta = double(currentTime) - double(previousCurrentTime_);
        const double idleDelta = double(idleTime) - double(previousIdleTime_);
        if (timeDelta != 0.0 && processorCount_ != 0) {
            load_ = 100.0 - (idleDelta / timeDelta) * 100.0 / processorCount_ + 0.5;
        }
    }
    previousIdleTime_ = idleTime;
    previousCurrentTime_ = currentTime;
    return load_;
}

int TruncateToInt(double value) {
    if (std::isnan(value)) {
        return 0;
    }
    if (value >= double(INT_MAX)) {
        return INT_MAX;
    }
    if (value <= double(INT_MIN)) {
        return INT_MIN;
    }
    return int(value);
}

} // namespace qv
