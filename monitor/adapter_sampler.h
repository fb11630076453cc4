#pragma once

#include <winsock2.h>
#include <ws2ipdef.h>
#include <windows.h>
#include <iphlpapi.h>

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "monitor/adapter_rates.h"

namespace qv {

// The monitored adapter: its index names it, the rest is refreshed by SampleAdapterRates.
// Read and written on the bar's thread only.
extern MIB_IFROW MonitoredAdapterRow;

// The classic interface row filled from the newer one, as the platform fills it: counters cut to
// their low 32 bits, the speed held to the 32-bit range, the description in the ANSI code page.
void FillInterfaceRow(const MIB_IF_ROW2& source, MIB_IFROW& row);

// The longest start of text whose form in the code page fits in capacity - 1 bytes, written to
// out with a terminating zero: a description too long for its field is shortened, never cut
// inside a character. Returns the bytes written before the zero.
size_t CopyShortenedText(std::wstring_view text, UINT codePage, char* out, size_t capacity);

// The interface indexes in the order of the platform's interface table, read once at start;
// empty when the table could not be read or had no rows. A NicAdapter position indexes it.
void EnumerateInterfaces();
std::span<const DWORD> InterfaceIndexTable();

// Monitors the interface at that position of the table; a position the table does not have
// leaves an index that no interface has, so sampling fails and the network cell stays empty.
void SelectMonitoredAdapter(int32_t position);

// Reads one interface as GetIfEntry2 does; false when it cannot be read (gone, or never there).
using InterfaceReader = bool (*)(MIB_IF_ROW2& row);
bool ReadPlatformInterface(MIB_IF_ROW2& row);
// The readings go through that reader from the next one on: tests take an adapter away with it.
void UseInterfaceReader(InterfaceReader reader);

// After a sleep: reads the adapter at once and counts that reading as the start of an interval,
// so the next figures are not made of the time asleep.
void StartFreshAdapterInterval();

// "received/sent" between the two newest readings of the adapter. When it cannot be read: zero
// for an adapter that was in the table when chosen (it went away and may come back), empty text
// for a position the table did not have. Each call takes the reading asked for before (made in the
// background) and asks for the next; selecting an adapter reads it at once.
RateText SampleAdapterRates();

// SampleAdapterRates in two steps, for the bar: the take during its tick, the request after
// the tick's painting, so that the reading (calls into Wine's server on another thread) does
// not run alongside the tick and hold it up.
RateText TakeAdapterRates();
void RequestAdapterReading();

// Waits for the reading asked for last; false after two seconds.
bool AwaitAdapterReading();

// The description of every row of the interface table, in table order, as the settings dialog
// lists them: a NicAdapter position indexes this list too. Empty when the table cannot be read.
std::vector<std::string> ReadInterfaceDescriptions();

struct AdapterAddress {
    std::string ip;
    std::string mask;
};

// The IPv4 address and mask of the interface at that position, from the address table's row for
// that interface; empty texts when there is none.
AdapterAddress ReadAdapterAddress(int32_t position);

} // namespace qv
