#include <winsock2.h>

#include "monitor/adapter_sampler.h"

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
        EnumerateInterfaces();
        ASSERT_FALSE(InterfaceIndexTable().empty());
    }
};

TEST_F(AdapterSampler, IndexTableFollowsTheInterfaceTableOrder) {
    ULONG size = 0;
    ASSERT_EQ(GetIfTable(nullptr, &size, FALSE), DWORD(ERROR_INSUFFICIENT_BUFFER));
    std::vector<BYTE> buffer(size);
    auto* table = reinterpret_cast<MIB_IFTABLE*>(buffer.data());
    ASSERT_EQ(GetIfTable(table, &size, FALSE), DWORD(NO_ERROR));
    ASSERT_EQ(InterfaceIndexTable().size(), table->dwNumEntries);
    for (DWORD row = 0; row < table->dwNumEntries; ++row) {
        EXPECT_EQ(InterfaceIndexTable()[row], table->table[row].dwIndex);
    }
}

TEST_F(AdapterSampler, RatesFollowLoopbackTrafficOneReadingLater) {
    const std::optional<int32_t> loopback = PositionOfType(IF_TYPE_SOFTWARE_LOOPBACK);
    ASSERT_TRUE(loopback);
    SelectMonitoredAdapter(*loopback);

    // The first sample shows the reading made at selection: everything since the counters
    // started.
    const RateText first = SampleAdapterRates();
    EXPECT_EQ(first, FormatAdapterRates({float(MonitoredAdapterRow.dwInOctets),
                                         float(MonitoredAdapterRow.dwOutOctets)}));
    ASSERT_TRUE(AwaitAdapterReading());

    // This sample takes the reading made before the traffic and asks for one after it.
    const int datagrams = 200, size = 1000;
    SendOverLoopback(datagrams, size);
    const RateText beforeTraffic = SampleAdapterRates();
    EXPECT_EQ(beforeTraffic.view().find(" KB/"), std::string_view::npos) << beforeTraffic;
    const DWORD inBefore = MonitoredAdapterRow.dwInOctets;
    const DWORD outBefore = MonitoredAdapterRow.dwOutOctets;
    ASSERT_TRUE(AwaitAdapterReading());

    const RateText second = SampleAdapterRates();
    const DWORD received = MonitoredAdapterRow.dwInOctets - inBefore;
    const DWORD sent = MonitoredAdapterRow.dwOutOctets - outBefore;
    EXPECT_GE(received, DWORD(datagrams * size));
    EXPECT_LE(received, DWORD(datagrams * (size + 100) + 64 * 1024)); // headers, other traffic
    EXPECT_GE(sent, DWORD(datagrams * size));
    EXPECT_EQ(second, FormatAdapterRates({float(received), float(sent)}));
    EXPECT_NE(second.view().find(" KB/"), std::string_view::npos) << second;
}

TEST_F(AdapterSampler, AnAdapterTakenAwayShowsZeroThenItsRatesWhenItComesBack) {
    const std::optional<int32_t> loopback = PositionOfType(IF_TYPE_SOFTWARE_LOOPBACK);
    ASSERT_TRUE(loopback);
    SelectMonitoredAdapter(*loopback);
    const DWORD index = MonitoredAdapterRow.dwIndex;
    const auto sample = [] {
        const RateText text = SampleAdapterRates();
        EXPECT_TRUE(AwaitAdapterReading());
        return text;
    };
    sample();
    {
        const qv::testing::InterfaceTakenAway unplugged(index);
        SendOverLoopback(200, 1000);
        sample(); // the reading asked for before it went
        EXPECT_EQ(sample(), "0 B/0 B");
        EXPECT_EQ(MonitoredAdapterRow.dwInOctets, 0u); // nothing stale for the information panel
        EXPECT_EQ(MonitoredAdapterRow.bDescr[0], 0);
        EXPECT_EQ(MonitoredAdapterRow.dwIndex, index); // still names the adapter it waits for
        EXPECT_EQ(sample(), "0 B/0 B");
    }
    EXPECT_EQ(sample(), "0 B/0 B"); // the reading asked for while it was away
    // Back: the first figures are not the traffic of the time away.
    EXPECT_EQ(sample(), "0 B/0 B");
    EXPECT_EQ(MonitoredAdapterRow.dwIndex, index);
    EXPECT_NE(MonitoredAdapterRow.dwInOctets, 0u);
    SendOverLoopback(200, 1000);
    sample(); // the reading asked for before this traffic
    const RateText back = sample();
    EXPECT_NE(back.view().find(" KB/"), std::string_view::npos) << back;
}

// The bar takes a reading at each tick and asks for the next once its painting is done.
TEST_F(AdapterSampler, EachBarTickTakesTheReadingTheTickBeforeAskedFor) {
    const std::optional<int32_t> loopback = PositionOfType(IF_TYPE_SOFTWARE_LOOPBACK);
    ASSERT_TRUE(loopback);
    ASSERT_TRUE(qv::testing::CreateStartedBar());
    KillTimer(theBar.hwnd(), BarRefreshTimer);
    SelectMonitoredAdapter(*loopback);
    const auto tick = [] {
        SendMessageA(theBar.hwnd(), WM_TIMER, BarRefreshTimer, 0);
        return AwaitAdapterReading();
    };
    ASSERT_TRUE(tick());
    ASSERT_TRUE(tick());
    const DWORD inBefore = MonitoredAdapterRow.dwInOctets;
    SendOverLoopback(100, 1000);
    ASSERT_TRUE(tick()); // takes the reading made before the traffic, asks for one after it
    ASSERT_TRUE(tick()); // takes that one
    EXPECT_GE(MonitoredAdapterRow.dwInOctets - inBefore, DWORD(100 * 1000));
    theBar.Destroy();
}

TEST_F(AdapterSampler, RowReadsAsTheClassicInterfaceQueryGivesIt) {
    for (int32_t position = 0; position < int32_t(InterfaceIndexTable().size()); ++position) {
        SelectMonitoredAdapter(position);
        ASSERT_FALSE(SampleAdapterRates().empty()) << position;
        MIB_IFROW classic{};
        classic.dwIndex = MonitoredAdapterRow.dwIndex;
        ASSERT_EQ(GetIfEntry(&classic), DWORD(NO_ERROR));
        const MIB_IFROW& row = MonitoredAdapterRow;
        EXPECT_STREQ(reinterpret_cast<const char*>(row.bDescr),
                     reinterpret_cast<const char*>(classic.bDescr));
        EXPECT_EQ(row.dwType, classic.dwType);
        EXPECT_EQ(row.dwMtu, classic.dwMtu);
        EXPECT_EQ(row.dwSpeed, classic.dwSpeed);
        EXPECT_EQ(row.dwPhysAddrLen, classic.dwPhysAddrLen);
        EXPECT_EQ(0, memcmp(row.bPhysAddr, classic.bPhysAddr, classic.dwPhysAddrLen));
        EXPECT_EQ(row.dwOperStatus, classic.dwOperStatus);
        EXPECT_EQ(row.dwAdminStatus, classic.dwAdminStatus);
        EXPECT_EQ(std::wstring(row.wszName), std::wstring(classic.wszName));
        // Read a moment later, the classic counters can only have grown.
        EXPECT_LE(row.dwInOctets, classic.dwInOctets);
        EXPECT_LE(row.dwOutOctets, classic.dwOutOctets);
        EXPECT_LE(classic.dwInOctets - row.dwInOctets, 64u * 1024);
        EXPECT_EQ(row.dwInErrors, classic.dwInErrors);
    }
}

TEST(InterfaceRow, SpeedAndCountersBeyond32BitsAndLongDescriptions) {
    MIB_IF_ROW2 source{};
    source.TransmitLinkSpeed = 10'000'000'000ull;
    source.InOctets = (1ull << 32) + 5;
    std::fill_n(source.Description, IF_MAX_STRING_SIZE, L'd');
    MIB_IFROW row{};
    FillInterfaceRow(source, row);
    EXPECT_EQ(row.dwSpeed, MAXDWORD);
    EXPECT_EQ(row.dwInOctets, 5u);
    // 256 characters in a field of 256 bytes: the first 255 and the end of the text.
    EXPECT_EQ(reinterpret_cast<const char*>(row.bDescr), std::string(255, 'd'));
    EXPECT_EQ(row.dwDescrLen, 256u);

    std::fill_n(source.Description, IF_MAX_STRING_SIZE, L'\0');
    std::wcscpy(source.Description, L"Loopback Pseudo-Interface 1");
    FillInterfaceRow(source, row);
    EXPECT_STREQ(reinterpret_cast<const char*>(row.bDescr), "Loopback Pseudo-Interface 1");
    EXPECT_EQ(row.dwDescrLen, 28u);
}

// In a double-byte code page a character takes one or two bytes; a description too long for
// the field ends before the character that would not fit whole.
TEST(InterfaceRow, LongDescriptionsAreShortenedBetweenCharacters) {
    constexpr UINT kShiftJis = 932;
    const std::wstring kanji(200, L'\x65E5'); // two bytes each
    char field[MAXLEN_IFDESCR];
    EXPECT_EQ(CopyShortenedText(kanji, kShiftJis, field, sizeof field), 254u);
    EXPECT_EQ(std::string_view(field, 2), "\x93\xFA");
    EXPECT_EQ(field[254], '\0');

    EXPECT_EQ(CopyShortenedText(L"a" + kanji, kShiftJis, field, sizeof field), 255u);
    EXPECT_EQ(field[0], 'a');
    EXPECT_EQ(CopyShortenedText(L"ab" + kanji, kShiftJis, field, sizeof field), 254u);
    EXPECT_EQ(std::string_view(field + 252, 3), std::string_view("\x93\xFA\0", 3));

    // A pair of surrogates is one character: none or both.
    const std::wstring emoji = std::wstring(252, L'e') + L"\xD83D\xDE00" + L"tail";
    EXPECT_EQ(CopyShortenedText(emoji, CP_UTF8, field, sizeof field), 252u);
    EXPECT_EQ(CopyShortenedText(L"", CP_ACP, field, sizeof field), 0u);
    EXPECT_EQ(field[0], '\0');
}

TEST_F(AdapterSampler, PositionOutsideTheTableGivesEmptyRates) {
    for (int32_t position : {-1, int32_t(InterfaceIndexTable().size()), 1 << 30}) {
        SelectMonitoredAdapter(position);
        EXPECT_TRUE(SampleAdapterRates().empty()) << position;
        EXPECT_EQ(ReadAdapterAddress(position).ip, "") << position;
    }
    // Selecting a real adapter again brings the rates back.
    SelectMonitoredAdapter(0);
    EXPECT_FALSE(SampleAdapterRates().empty());
}

TEST_F(AdapterSampler, AddressIsTheOneOfTheMonitoredInterface) {
    const std::optional<int32_t> loopback = PositionOfType(IF_TYPE_SOFTWARE_LOOPBACK);
    ASSERT_TRUE(loopback);
    const AdapterAddress address = ReadAdapterAddress(*loopback);
    EXPECT_EQ(address.ip, "127.0.0.1");
    EXPECT_EQ(address.mask, "255.0.0.0");

    // Interfaces without an IPv4 address have no row of their own: both texts stay empty.
    ULONG size = 0;
    GetIpAddrTable(nullptr, &size, FALSE);
    std::vector<BYTE> buffer(size);
    auto* table = reinterpret_cast<MIB_IPADDRTABLE*>(buffer.data());
    ASSERT_EQ(GetIpAddrTable(table, &size, FALSE), DWORD(NO_ERROR));
    for (size_t position = 0; position < InterfaceIndexTable().size(); ++position) {
        bool hasRow = false;
        for (DWORD row = 0; row < table->dwNumEntries; ++row) {
            hasRow |= table->table[row].dwIndex == InterfaceIndexTable()[position];
        }
        EXPECT_EQ(ReadAdapterAddress(int32_t(position)).ip.empty(), !hasRow) << position;
    }
}

} // namespace
