#include <winsock2.h>

#include "monitor/adapter_monitor.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <cwchar>
#include <optional>
#include <string>
#include <vector>

#include "app/bar_wintest_support.h"
#include "app/singletons.h"
#include "monitor/quantity_format.h"
#include "monitor/test_support.h"

namespace {

using namespace qv;

using qv::testing::PositionOfType;
using qv::testing::SendOverLoopback;

class AdapterSampler : public ::testing::Test {
protected:
    void SetUp() override {
        adapter.UseTable(ReadInterfaceIndexes());
        ASSERT_FALSE(adapter.Table().empty());
    }
    std::optional<int32_t> SelectLoopback() {
        const std::optional<int32_t> loopback = PositionOfType(IF_TYPE_SOFTWARE_LOOPBACK);
        if (loopback) {
            adapter.Select(*loopback);
        }
        return loopback;
    }
    RateText SampleAndWait() {
        const RateText text = adapter.Sample();
        EXPECT_TRUE(adapter.AwaitReading());
        return text;
    }
    AdapterMonitor adapter;
};

TEST_F(AdapterSampler, IndexTableFollowsTheInterfaceTableOrder) {
    ULONG size = 0;
    ASSERT_EQ(GetIfTable(nullptr, &size, FALSE), DWORD(ERROR_INSUFFICIENT_BUFFER));
    std::vector<BYTE> buffer(size);
    auto* table = reinterpret_cast<MIB_IFTABLE*>(buffer.data());
    ASSERT_EQ(GetIfTable(table, &size, FALSE), DWORD(NO_ERROR));
    ASSERT_EQ(adapter.Table().size(), table->dwNumEntries);
    for (DWORD row = 0; row < table->dwNumEntries; ++row) {
        EXPECT_EQ(adapter.Table()[row], table->table[row].dwIndex);
    }
}

TEST_F(AdapterSampler, RatesFollowLoopbackTrafficOneReadingLater) {
    ASSERT_TRUE(SelectLoopback());

    // The first sample shows the reading made at selection: everything since the counters
    // started.
    const RateText first = SampleAndWait();
    EXPECT_EQ(first,
              FormatAdapterRates({float(adapter.ReceivedOctets()), float(adapter.SentOctets())}));

    // This sample takes the reading made before the traffic and asks for one after it.
    const int datagrams = 200, size = 1000;
    SendOverLoopback(datagrams, size);
    const uint32_t inBefore = adapter.ReceivedOctets();
    const RateText beforeTraffic = SampleAndWait();
    EXPECT_EQ(beforeTraffic.view().find(" KB/"), std::string_view::npos) << beforeTraffic;
    const uint32_t inTaken = adapter.ReceivedOctets();
    const uint32_t outTaken = adapter.SentOctets();
    EXPECT_LE(inTaken - inBefore, 64u * 1024) << "the traffic is in the next reading";

    const RateText second = adapter.Sample();
    const uint32_t received = adapter.ReceivedOctets() - inTaken;
    const uint32_t sent = adapter.SentOctets() - outTaken;
    EXPECT_GE(received, uint32_t(datagrams * size));
    EXPECT_LE(received, uint32_t(datagrams * (size + 100) + 64 * 1024)); // headers, other traffic
    EXPECT_GE(sent, uint32_t(datagrams * size));
    EXPECT_EQ(second, FormatAdapterRates({float(received), float(sent)}));
    EXPECT_NE(second.view().find(" KB/"), std::string_view::npos) << second;
}

TEST_F(AdapterSampler, AnAdapterTakenAwayShowsZeroThenItsRatesWhenItComesBack) {
    ASSERT_TRUE(SelectLoopback());
    const DWORD index = adapter.InterfaceIndex();
    SampleAndWait();
    EXPECT_NE(adapter.Figures({}).description, "");
    {
        const qv::testing::InterfaceTakenAway unplugged(adapter, index);
        SendOverLoopback(200, 1000);
        SampleAndWait(); // the reading asked for before it went
        EXPECT_EQ(SampleAndWait(), "0 B/0 B");
        EXPECT_EQ(adapter.ReceivedOctets(), 0u); // nothing stale for the information panel
        EXPECT_EQ(adapter.Figures({}).description, "");
        EXPECT_EQ(adapter.InterfaceIndex(), index); // still names the adapter it waits for
        EXPECT_EQ(SampleAndWait(), "0 B/0 B");
    }
    EXPECT_EQ(SampleAndWait(), "0 B/0 B"); // the reading asked for while it was away
    // Back: the first figures are not the traffic of the time away.
    EXPECT_EQ(SampleAndWait(), "0 B/0 B");
    EXPECT_EQ(adapter.InterfaceIndex(), index);
    EXPECT_NE(adapter.ReceivedOctets(), 0u);
    SendOverLoopback(200, 1000);
    SampleAndWait(); // the reading asked for before this traffic
    const RateText back = SampleAndWait();
    EXPECT_NE(back.view().find(" KB/"), std::string_view::npos) << back;
}

// The bar takes a reading at each tick and asks for the next once its painting is done.
TEST_F(AdapterSampler, EachBarTickTakesTheReadingTheTickBeforeAskedFor) {
    const std::optional<int32_t> loopback = PositionOfType(IF_TYPE_SOFTWARE_LOOPBACK);
    ASSERT_TRUE(loopback);
    ASSERT_TRUE(qv::testing::CreateStartedBar());
    KillTimer(theBar.hwnd(), BarRefreshTimer);
    AdapterMonitor& monitored = theBar.Adapter();
    monitored.Select(*loopback);
    const auto tick = [&] {
        SendMessageA(theBar.hwnd(), WM_TIMER, BarRefreshTimer, 0);
        return monitored.AwaitReading();
    };
    ASSERT_TRUE(tick());
    ASSERT_TRUE(tick());
    const uint32_t inBefore = monitored.ReceivedOctets();
    SendOverLoopback(100, 1000);
    ASSERT_TRUE(tick()); // takes the reading made before the traffic, asks for one after it
    ASSERT_TRUE(tick()); // takes that one
    EXPECT_GE(monitored.ReceivedOctets() - inBefore, uint32_t(100 * 1000));
    theBar.Destroy();
}

// The balloon's figures are the ones the classic interface query gives, read a moment apart.
TEST_F(AdapterSampler, FiguresReadAsTheClassicInterfaceQueryGivesThem) {
    for (int32_t position = 0; position < int32_t(adapter.Table().size()); ++position) {
        adapter.Select(position);
        ASSERT_FALSE(adapter.Sample().empty()) << position;
        MIB_IFROW classic{};
        classic.dwIndex = adapter.InterfaceIndex();
        ASSERT_EQ(GetIfEntry(&classic), DWORD(NO_ERROR));
        const NetworkFigures figures = adapter.Figures({});
        EXPECT_EQ(figures.description, reinterpret_cast<const char*>(classic.bDescr));
        EXPECT_EQ(figures.mtu, classic.dwMtu);
        EXPECT_EQ(figures.speed, classic.dwSpeed);
        EXPECT_EQ(0, memcmp(figures.physicalAddress.data(), classic.bPhysAddr,
                            std::min<size_t>(classic.dwPhysAddrLen, 6)));
        // Read a moment later, the classic counters can only have grown.
        EXPECT_LE(figures.inOctets, classic.dwInOctets);
        EXPECT_LE(figures.outOctets, classic.dwOutOctets);
        EXPECT_LE(classic.dwInOctets - figures.inOctets, 64u * 1024);
        EXPECT_EQ(figures.inErrors, classic.dwInErrors);
    }
}

// An interface as a newer system describes it: a name in any script, counters and a speed
// beyond 32 bits.
bool ReadWideInterface(MIB_IF_ROW2& row) {
    std::wcscpy(row.Description, L"\x0421\x0435\x0442\x044C \x6771\x4EAC"); // Сеть 東京
    row.TransmitLinkSpeed = 10'000'000'000ull;
    row.InOctets = (1ull << 32) + 5;
    row.OutOctets = (1ull << 33) + 7;
    row.Mtu = 1500;
    row.PhysicalAddressLength = 8;
    std::fill_n(row.PhysicalAddress, 8, BYTE(0xAB));
    return true;
}

TEST(AdapterFigures, ADescriptionInAnyScriptAndCountersBeyond32Bits) {
    AdapterMonitor adapter(ReadWideInterface);
    adapter.UseTable({7});
    adapter.Select(0);
    EXPECT_EQ(adapter.Sample(), FormatAdapterRates({5.0f, 7.0f}));
    const NetworkFigures figures = adapter.Figures({"10.0.0.2", "255.255.255.0"});
    EXPECT_EQ(figures.description, "\xD0\xA1\xD0\xB5\xD1\x82\xD1\x8C \xE6\x9D\xB1\xE4\xBA\xAC");
    EXPECT_EQ(figures.speed, MAXDWORD);
    EXPECT_EQ(figures.inOctets, 5u);
    EXPECT_EQ(figures.outOctets, 7u);
    EXPECT_EQ(figures.mtu, 1500u);
    EXPECT_EQ(figures.physicalAddress,
              (std::array<uint8_t, 6>{0xAB, 0xAB, 0xAB, 0xAB, 0xAB, 0xAB}));
    EXPECT_EQ(figures.ip, "10.0.0.2");
    EXPECT_EQ(adapter.ReceivedOctets(), 5u);
}

// A first run watches the adapter of the default route; Windows lists the loopback interface
// first, whose cell would read "0 B/0 B".
TEST(AdapterFirstRun, TheDefaultRoutesAdapterIsWatchedRatherThanTheFirstRow) {
    AdapterMonitor adapter(ReadWideInterface, [] { return std::optional<DWORD>(7); });
    adapter.UseTable({1, 12, 7});
    EXPECT_EQ(adapter.SelectDefault(), 2);
    EXPECT_EQ(adapter.InterfaceIndex(), 7u);
    adapter.UseRouteQuery([] { return std::optional<DWORD>(12); });
    EXPECT_EQ(adapter.SelectDefault(), 1);
    adapter.UseRouteQuery([] { return std::optional<DWORD>(); });
    EXPECT_EQ(adapter.SelectDefault(), 0); // no route: the first row, as before
    EXPECT_EQ(adapter.InterfaceIndex(), 1u);
    adapter.UseRouteQuery([] { return std::optional<DWORD>(42); }); // one the table does not list
    EXPECT_EQ(adapter.SelectDefault(), 0);
    EXPECT_FALSE(adapter.Sample().empty());
}

TEST_F(AdapterSampler, PositionOutsideTheTableGivesEmptyRates) {
    for (int32_t position : {-1, int32_t(adapter.Table().size()), 1 << 30}) {
        adapter.Select(position);
        EXPECT_TRUE(adapter.Sample().empty()) << position;
        EXPECT_EQ(adapter.ReadAddress().ip, "") << position;
    }
    // Selecting a real adapter again brings the rates back.
    adapter.Select(0);
    EXPECT_FALSE(adapter.Sample().empty());
}

TEST_F(AdapterSampler, AddressIsTheOneOfTheMonitoredInterface) {
    ASSERT_TRUE(SelectLoopback());
    const AdapterAddress address = adapter.ReadAddress();
    EXPECT_EQ(address.ip, "127.0.0.1");
    EXPECT_EQ(address.mask, "255.0.0.0");

    // Interfaces without an IPv4 address have no row of their own: both texts stay empty.
    ULONG size = 0;
    GetIpAddrTable(nullptr, &size, FALSE);
    std::vector<BYTE> buffer(size);
    auto* table = reinterpret_cast<MIB_IPADDRTABLE*>(buffer.data());
    ASSERT_EQ(GetIpAddrTable(table, &size, FALSE), DWORD(NO_ERROR));
    for (size_t position = 0; position < adapter.Table().size(); ++position) {
        bool hasRow = false;
        for (DWORD row = 0; row < table->dwNumEntries; ++row) {
            hasRow |= table->table[row].dwIndex == adapter.Table()[position];
        }
        adapter.Select(int32_t(position));
        EXPECT_EQ(adapter.ReadAddress().ip.empty(), !hasRow) << position;
    }
}

} // namespace
