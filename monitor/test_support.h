#pragma once

#include <windows.h>

#include <gtest/gtest.h>

namespace qv::testing {

// A test with the bar created, its refresh timer stopped: the test drives the ticks itself.
class BarTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    int screenWidth = 0;
};

// Whether the window has that timer running; it is left running (restarted at one second).
bool TimerRunning(HWND window, UINT_PTR id);

// How many GDI objects and kernel handles this process holds. Wine answers neither
// GetGuiResources nor GetProcessHandleCount, so under Wine they are counted from its GDI handle
// table and the system handle list.
int GdiObjectCount();
int KernelHandleCount();

} // namespace qv::testing
