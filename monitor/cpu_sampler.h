#pragma once

#include <windows.h>
#include <winternl.h>

#include <array>
#include <cstdint>

#include "monitor/cpu_load.h"

namespace qv {

// The signature of NtQuerySystemInformation.
using SystemQueryFunction = NTSTATUS(NTAPI*)(ULONG infoClass, void* buffer, ULONG length,
                                             ULONG* returnLength);

// Reads the idle and current time through the native system query, in the build's own layouts,
// into buffers it keeps, so that sampling allocates nothing.
class CpuSampler {
public:
    // query may be null (the entry point is missing): every sample is then 0.0.
    void Init(SystemQueryFunction query);
    double Sample();
    unsigned ProcessorCount() const { return meter_.ProcessorCount(); }
    void StartFreshInterval() { meter_.StartFreshInterval(); }

private:
    bool ReadIdleTime(uint64_t& idleTime);

    SystemQueryFunction query_ = nullptr;
    SYSTEM_BASIC_INFORMATION basic_{};
    SYSTEM_TIMEOFDAY_INFORMATION timeOfDay_{};
    // The processors of the system's group, as the basic information counts them.
    std::array<SYSTEM_PROCESSOR_PERFORMANCE_INFORMATION, 64> processors_{};
    size_t processorsRead_ = 1;
    CpuLoadMeter meter_;
};

// The process-wide sampler the bar uses.
CpuSampler& TheCpuSampler();
void InitCpuSampler();
double SampleCpuLoad();
// After a sleep: the next sample starts a fresh interval.
void StartFreshCpuInterval();

} // namespace qv
