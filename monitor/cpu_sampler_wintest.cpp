#include "monitor/cpu_sampler.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "monitor/test_support.h"

namespace {

using namespace qv;

// A stand-in for the system query: fixed counters, and a status per information class.
struct FakeSystem {
    static inline NTSTATUS basicStatus = 0;
    static inline NTSTATUS timeStatus = 0;
    static inline NTSTATUS performanceStatus = 0;
    static inline uint64_t idleTime = 0;
    static inline uint64_t currentTime = 0;

    static NTSTATUS NTAPI Query(ULONG infoClass, void* buffer, ULONG length, ULONG*) {
        switch (infoClass) {
        case 0:
            if (length != sizeof(SYSTEM_BASIC_INFORMATION)) {
                return 0xC0000004; // the length must be that of the build's own layout
            }
            static_cast<SYSTEM_BASIC_INFORMATION*>(buffer)->NumberOfProcessors = 4;
            return basicStatus;
        case 8:
            if (const NTSTATUS status = qv::testing::SpreadIdleTime(buffer, length, idleTime)) {
                return status;
            }
            return performanceStatus;
        case 3:
            static_cast<SYSTEM_TIMEOFDAY_INFORMATION*>(buffer)->CurrentTime.QuadPart =
                LONGLONG(currentTime);
            return timeStatus;
        }
        return 0xC0000003;
    }
};

constexpr uint64_t kSecond = 10'000'000;

TEST(CpuSampler, ProcessorCountComesFromTheNativeLayout) {
    InitCpuSampler();
    SYSTEM_INFO system{};
    GetSystemInfo(&system);
    EXPECT_EQ(TheCpuSampler().ProcessorCount(), system.dwNumberOfProcessors);
    EXPECT_GT(TheCpuSampler().ProcessorCount(), 0u);
}

TEST(CpuSampler, FirstSampleIsZeroAndABusyProcessorShows) {
    InitCpuSampler();
    EXPECT_EQ(SampleCpuLoad(), 0.0);
    std::atomic<bool> stop = false;
    std::thread busy([&stop] {
        while (!stop) {
        }
    });
    Sleep(700);
    const double load = SampleCpuLoad();
    stop = true;
    busy.join();
    const double oneProcessor = 100.0 / TheCpuSampler().ProcessorCount();
    EXPECT_GE(load, oneProcessor / 2) << "one of " << TheCpuSampler().ProcessorCount();
    EXPECT_LE(load, 100.5 + 5);
}

TEST(CpuSampler, WithoutTheEntryPointEverySampleIsZero) {
    CpuSampler sampler;
    sampler.Init(nullptr);
    EXPECT_EQ(sampler.ProcessorCount(), 0u);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(sampler.Sample(), 0.0);
    }
}

TEST(CpuSampler, FailedQueryGivesZeroAndKeepsTheLastGoodSample) {
    CpuSampler sampler;
    sampler.Init(&FakeSystem::Query);
    ASSERT_EQ(sampler.ProcessorCount(), 4u);
    FakeSystem::idleTime = 100 * kSecond;
    FakeSystem::currentTime = 1000 * kSecond;
    EXPECT_EQ(sampler.Sample(), 0.0);

    // A failing time or performance query is a zero for that tick only.
    FakeSystem::idleTime = 103 * kSecond;
    FakeSystem::currentTime = 1001 * kSecond;
    FakeSystem::performanceStatus = 0xC0000001;
    EXPECT_EQ(sampler.Sample(), 0.0);
    FakeSystem::performanceStatus = 0;
    FakeSystem::timeStatus = 0xC0000001;
    EXPECT_EQ(sampler.Sample(), 0.0);
    FakeSystem::timeStatus = 0;

    // The delta runs from the last successful sample: 6 of 8 processor-seconds idle.
    FakeSystem::idleTime = 106 * kSecond;
    FakeSystem::currentTime = 1002 * kSecond;
    EXPECT_DOUBLE_EQ(sampler.Sample(), 25.5);
}

} // namespace
