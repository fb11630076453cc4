#include "monitor/cpu_sampler.h"

#include <algorithm>

namespace qv {

namespace {

constexpr ULONG kSystemBasicInformation = 0;
constexpr ULONG kSystemTimeOfDayInformation = 3;
constexpr ULONG kSystemProcessorPerformanceInformation = 8;

uint64_t Unsigned(const LARGE_INTEGER& value) {
    return uint64_t(value.QuadPart);
}

} // namespace

void CpuSampler::Init(SystemQueryFunction query) {
    query_ = query;
    if (query_ && query_(kSystemBasicInformation, &basic_, sizeof basic_, nullptr) == 0) {
        meter_.SetProcessorCount(static_cast<unsigned char>(basic_.NumberOfProcessors));
    }
    processorsRead_ = std::clamp<size_t>(meter_.ProcessorCount(), 1, processors_.size());
}

// The idle time of all processors is the sum of each one's. Under Wine this class costs less than
// half of the system performance class, which reads the memory figures as well.
bool CpuSampler::ReadIdleTime(uint64_t& idleTime) {
    const ULONG length = ULONG(processorsRead_ * sizeof processors_[0]);
    if (query_(kSystemProcessorPerformanceInformation, processors_.data(), length, nullptr) != 0) {
        return false;
    }
    idleTime = 0;
    for (size_t i = 0; i < processorsRead_; ++i) {
        idleTime += Unsigned(processors_[i].IdleTime);
    }
    return true;
}

double CpuSampler::Sample() {
    uint64_t idleTime = 0;
    if (!query_ ||
        query_(kSystemTimeOfDayInformation, &timeOfDay_, sizeof timeOfDay_, nullptr) != 0 ||
        !ReadIdleTime(idleTime)) {
        return 0.0;
    }
    return meter_.Update(idleTime, Unsigned(timeOfDay_.CurrentTime));
}

CpuSampler& TheCpuSampler() {
    static CpuSampler sampler;
    return sampler;
}

void InitCpuSampler() {
    const HMODULE ntdll = GetModuleHandleA("ntdll");
    auto* query = reinterpret_cast<SystemQueryFunction>(
        reinterpret_cast<void*>(GetProcAddress(ntdll, "NtQuerySystemInformation")));
    TheCpuSampler().Init(query);
}

double SampleCpuLoad() {
    return TheCpuSampler().Sample();
}

void StartFreshCpuInterval() {
    TheCpuSampler().StartFreshInterval();
}

} // namespace qv
