#include "monitor/cpu_sampler.h"

namespace qv {

namespace {

constexpr ULONG kSystemBasicInformation = 0;
constexpr ULONG kSystemPerformanceInformation = 2;
constexpr ULONG kSystemTimeOfDayInformation = 3;

uint64_t Unsigned(const LARGE_INTEGER& value) {
    return uint64_t(value.QuadPart);
}

} // namespace

void CpuSampler::Init(SystemQueryFunction query) {
    query_ = query;
    if (query_ && query_(kSystemBasicInformation, &basic_, sizeof basic_, nullptr) == 0) {
        meter_.SetProcessorCount(static_cast<unsigned char>(basic_.NumberOfProcessors));
    }
}

double CpuSampler::Sample() {
    if (!query_ ||
        query_(kSystemTimeOfDayInformation, &timeOfDay_, sizeof timeOfDay_, nullptr) != 0 ||
        query_(kSystemPerformanceInformation, &performance_, sizeof performance_, nullptr) != 0) {
        return 0.0;
    }
    return meter_.Update(Unsigned(performance_.IdleTime), Unsigned(timeOfDay_.CurrentTime));
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
