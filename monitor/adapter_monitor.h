#pragma once

#include <winsock2.h>
#include <ws2ipdef.h>
#include <windows.h>
#include <iphlpapi.h>

#include <atomic>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "monitor/adapter_rates.h"
#include "monitor/background_reader.h"
#include "monitor/info_sections.h"

namespace qv {

// Reads one interface as GetIfEntry2 does; false when it cannot be read (gone, or never there).
using InterfaceReader = bool (*)(MIB_IF_ROW2& row);
bool ReadPlatformInterface(MIB_IF_ROW2& row);

// The interface indexes in the order of the platform's interface table, the order a NicAdapter
// position counts; empty when the table cannot be read.
std::vector<DWORD> ReadInterfaceIndexes();

// The description of every row of the interface table, in table order, as the settings dialog
// lists them: a NicAdapter position indexes this list too. Empty when the table cannot be read.
std::vector<std::string> ReadInterfaceDescriptions();

// The interface the system would send a packet to a public address through (nothing is sent):
// the default route's. None when there is no route.
std::optional<DWORD> DefaultRouteInterface();
using RouteQuery = std::optional<DWORD> (*)();

struct AdapterAddress {
    std::string ip;
    std::string mask;
};

// The monitored network adapter, owned by the bar: the rates its network cell shows, and the
// counters, description and address the information balloon shows. Used on the bar's thread;
// under Wine each reading is a round trip to another process (about 0.4 ms), so the bar's tick
// takes the reading made after the previous tick and asks for the next one: one reading a
// second, a second apart, and the bar never waits for it.
class AdapterMonitor {
public:
    explicit AdapterMonitor(InterfaceReader reader = ReadPlatformInterface,
                            RouteQuery route = DefaultRouteInterface);
    AdapterMonitor(const AdapterMonitor&) = delete;
    AdapterMonitor& operator=(const AdapterMonitor&) = delete;

    // The table the positions count, read once when the bar starts.
    void UseTable(std::vector<DWORD> indexes) { table_ = std::move(indexes); }
    std::span<const DWORD> Table() const { return table_; }

    // Monitors the interface at that position of the table; a position the table does not have
    // monitors none, so the network cell stays empty. The new adapter is read at once.
    void Select(int32_t position);
    // With no adapter chosen by the user: the one the default route leaves by when the table has
    // it, else the table's first. Answers the position monitored.
    int32_t SelectDefault();
    // Tests stand in for the system's routes.
    void UseRouteQuery(RouteQuery route) { route_ = route; }
    int32_t Position() const { return position_; }

    // The readings go through that reader from the next one on: tests take an adapter away.
    void UseReader(InterfaceReader reader) { reader_.store(reader); }

    // After a sleep: reads the adapter at once and counts that reading as the start of an
    // interval, so the next figures are not made of the time asleep.
    void StartFreshInterval();

    // "received/sent" between the two newest readings. When the adapter cannot be read: zero for
    // one that was in the table when chosen (it went away and may come back), empty text for a
    // position the table did not have. Take hands over the reading asked for before (made in the
    // background); Request asks for the next, after the tick's painting.
    RateText Take();
    void Request();
    RateText Sample();
    // Waits for the reading asked for last; false after two seconds.
    bool AwaitReading();

    // From the newest reading taken; zero while the adapter cannot be read.
    uint32_t ReceivedOctets() const { return uint32_t(latest_.InOctets); }
    uint32_t SentOctets() const { return uint32_t(latest_.OutOctets); }
    DWORD InterfaceIndex() const { return index_; }
    // What the balloon's network section shows, the address read now.
    NetworkFigures Figures(const AdapterAddress& address) const;
    AdapterAddress ReadAddress() const;

private:
    bool ReadInterface(MIB_IF_ROW2& row) const { return reader_.load()(row); }
    MIB_IF_ROW2 Question() const;
    void ReadNow();
    RateText Gone();

    RouteQuery route_;
    std::vector<DWORD> table_;
    int32_t position_ = 0;
    // Interface indexes start at 1: reading index 0 always fails.
    DWORD index_ = 0;
    // Looked up once when chosen: reading by index costs a second round trip under Wine.
    NET_LUID luid_{};
    bool chosenFromTable_ = false;
    MIB_IF_ROW2 latest_{};
    MIB_IF_ROW2 taken_{};
    RateText text_;
    AdapterRateMeter meter_;
    std::atomic<InterfaceReader> reader_;
    // Last: its thread reads through reader_, and ends before the members above go.
    BackgroundReader<MIB_IF_ROW2> background_;
};

} // namespace qv
