#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include "testing/resource_count.h"

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

} // namespace qv::testing
