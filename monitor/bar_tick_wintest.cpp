#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>

#include "app/bar_wintest_support.h"
#include "app/singletons.h"
#include "monitor/adapter_monitor.h"
#include "monitor/cpu_sampler.h"
#include "monitor/test_support.h"

// Counts every allocation through the global operator new of this test program.
namespace {
std::atomic<long> allocationCount = 0;
}

void* operator new(std::size_t size) {
    ++allocationCount;
    if (void* memory = std::malloc(size == 0 ? 1 : size)) {
        return memory;
    }
    throw std::bad_alloc();
}

void operator delete(void* memory) noexcept {
    std::free(memory);
}

void operator delete(void* memory, std::size_t) noexcept {
    std::free(memory);
}

namespace {

using namespace qv;

void Tick() {
    SendMessageA(theBar.hwnd(), WM_TIMER, BarRefreshTimer, 0);
}

TEST(BarRefreshTick, TenThousandTicksLeakNoGdiObjectOrHandle) {
    ASSERT_TRUE(qv::testing::CreateStartedBar());
    KillTimer(theBar.hwnd(), BarRefreshTimer);
    Tick();
    // A reading in flight holds the network service's handle for a moment: count between them.
    ASSERT_TRUE(theBar.Adapter().AwaitReading());
    const int gdiObjects = qv::testing::GdiObjectCount();
    const int handles = qv::testing::KernelHandleCount();
    ASSERT_GT(gdiObjects, 0);
    ASSERT_GT(handles, 0);
    for (int tick = 1; tick < 10000; ++tick) {
        Tick();
    }
    ASSERT_TRUE(theBar.Adapter().AwaitReading());
    EXPECT_EQ(qv::testing::GdiObjectCount(), gdiObjects);
    EXPECT_EQ(qv::testing::KernelHandleCount(), handles);
    theBar.Destroy();
}

TEST(BarRefreshTick, SamplersAllocateNothing) {
    InitCpuSampler();
    AdapterMonitor adapter;
    adapter.UseTable(ReadInterfaceIndexes());
    adapter.Select(0);
    SampleCpuLoad();
    ASSERT_FALSE(adapter.Sample().empty());
    const long before = allocationCount;
    for (int tick = 0; tick < 1000; ++tick) {
        SampleCpuLoad();
        adapter.Sample();
    }
    EXPECT_EQ(allocationCount - before, 0);
}

} // namespace
