#include "framework/thread_stack.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>

#include "testing/resident_page.h"

namespace {

using qv::testing::PageResident;

// Fills and sums `Bytes` of stack below the caller.
template <size_t Bytes> __attribute__((noinline)) unsigned FillAndSum() {
    volatile unsigned char buffer[Bytes];
    for (size_t i = 0; i < Bytes; ++i) {
        buffer[i] = static_cast<unsigned char>(i);
    }
    unsigned sum = 0;
    for (size_t i = 0; i < Bytes; i += 4096) {
        sum += buffer[i];
    }
    return sum;
}

struct Probe {
    bool deepPageInRange = false;
    bool deepPageResident = true;
    bool keptPageResident = false;
    unsigned sum = 0;
};

DWORD WINAPI TrimThenUseDeeply(void* context) {
    auto& probe = *static_cast<Probe*>(context);
    volatile char here = 0;
    const auto mark = reinterpret_cast<uintptr_t>(&here);
    const uintptr_t deep = (mark - 256 * 1024) & ~uintptr_t(0xFFF);
    FillAndSum<300 * 1024>(); // the stack has been that deep: those pages are in use
    probe.deepPageInRange = PageResident(deep);
    qv::ReleaseUnusedStack(64 * 1024);
    probe.deepPageResident = probe.deepPageInRange && PageResident(deep);
    probe.keptPageResident = PageResident((mark - 4096) & ~uintptr_t(0xFFF));
    probe.sum = FillAndSum<300 * 1024>();
    return 0;
}

// The pages below the kept part are given back, the ones the thread stands on stay, and the
// stack still grows into the pages given back.
TEST(ThreadStack, PagesBelowTheKeptPartAreGivenBackAndStayUsable) {
    Probe probe;
    const HANDLE thread = CreateThread(nullptr, 1024 * 1024, &TrimThenUseDeeply, &probe,
                                       STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr);
    ASSERT_NE(thread, nullptr);
    ASSERT_EQ(WaitForSingleObject(thread, 10000), WAIT_OBJECT_0);
    DWORD code = 1;
    GetExitCodeThread(thread, &code);
    CloseHandle(thread);
    EXPECT_EQ(code, 0u);
    ASSERT_TRUE(probe.deepPageInRange) << "the stack never reached that far down";
    EXPECT_FALSE(probe.deepPageResident);
    EXPECT_TRUE(probe.keptPageResident);
    unsigned expected = 0;
    for (size_t i = 0; i < 300 * 1024; i += 4096) {
        expected += static_cast<unsigned char>(i);
    }
    EXPECT_EQ(probe.sum, expected);
}

} // namespace
