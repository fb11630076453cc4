#pragma once

#include <windows.h>
#include <winternl.h>

#include <cstdint>
#include <optional>

#include <gtest/gtest.h>

#include "monitor/adapter_monitor.h"
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

// The position in the interface table of the first interface of that type.
std::optional<int32_t> PositionOfType(DWORD type);

// Takes the interface with that index out of the monitor's readings, as an unplugged adapter,
// and puts it back at the end of the object's life.
class InterfaceTakenAway {
public:
    InterfaceTakenAway(AdapterMonitor& adapter, DWORD index);
    ~InterfaceTakenAway();
    InterfaceTakenAway(const InterfaceTakenAway&) = delete;
    InterfaceTakenAway& operator=(const InterfaceTakenAway&) = delete;

private:
    AdapterMonitor& adapter_;
};

// The monitored adapter's counters as the test sets them, taken as its newest reading at once;
// the platform's readings come back at the end of the object's life.
class AdapterCounters {
public:
    explicit AdapterCounters(AdapterMonitor& adapter);
    ~AdapterCounters();
    AdapterCounters(const AdapterCounters&) = delete;
    AdapterCounters& operator=(const AdapterCounters&) = delete;

    void Set(uint64_t in, uint64_t out);

private:
    AdapterMonitor& adapter_;
};

// Answers the per-processor performance query of a stand-in system of four processors: their idle
// time shared out unevenly, so only the sum of all four gives it back. A buffer too small for four
// gets the length-mismatch status, as from the system.
NTSTATUS SpreadIdleTime(void* buffer, ULONG length, uint64_t idleTime);

// Sends datagrams from one loopback socket to another and reads them back.
void SendOverLoopback(int datagrams, int size);

} // namespace qv::testing
