#include "monitor/adapter_sampler.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <cwchar>
#include <iterator>
#include <optional>
#include <vector>

#include "monitor/background_reader.h"
#include "monitor/info_sections.h"

namespace qv {

MIB_IFROW MonitoredAdapterRow{};

namespace {

// Interface indexes start at 1: reading index 0 always fails.
constexpr DWORD kNoInterface = 0;

std::vector<DWORD>& IndexTable() {
    static std::vector<DWORD> indexes;
    return indexes;
}

// The monitored interface's identifier, looked up once when it is chosen: reading the interface
// by index costs a second round trip to the network service on every sample under Wine.
NET_LUID& MonitoredLuid() {
    static NET_LUID luid{};
    return luid;
}

// The monitored interface as the network service is asked for it: by identifier and index.
MIB_IF_ROW2 MonitoredQuestion() {
    MIB_IF_ROW2 question{};
    question.InterfaceLuid = MonitoredLuid();
    question.InterfaceIndex = MonitoredAdapterRow.dwIndex;
    return question;
}

std::atomic<InterfaceReader>& Source() {
    static std::atomic<InterfaceReader> reader{ReadPlatformInterface};
    return reader;
}

bool ReadInterface(MIB_IF_ROW2& row) {
    return Source().load()(row);
}

// Whether the setting's position was in the table when the adapter was chosen.
bool& ChosenFromTable() {
    static bool chosen = false;
    return chosen;
}

// Under Wine each reading is a round trip to another process (about 0.4 ms), so the bar's tick
// takes the reading made after the previous tick and asks for the next one: one reading a
// second, a second apart, and the bar never waits for it.
BackgroundReader<MIB_IF_ROW2>& Reader() {
    static BackgroundReader<MIB_IF_ROW2> reader(ReadInterface);
    return reader;
}

AdapterRateMeter& RateMeter() {
    static AdapterRateMeter meter;
    return meter;
}

std::optional<DWORD> InterfaceIndexAt(int32_t position) {
    const std::span<const DWORD> table = InterfaceIndexTable();
    if (position < 0 || size_t(position) >= table.size()) {
        return std::nullopt;
    }
    return table[size_t(position)];
}

// Asks for the size with no buffer, then fills a buffer of that size; empty when either fails.
template <typename Query> std::vector<BYTE> ReadTable(Query query) {
    ULONG size = 0;
    if (query(nullptr, &size) != ERROR_INSUFFICIENT_BUFFER) {
        return {};
    }
    std::vector<BYTE> buffer(size);
    if (query(buffer.data(), &size) != NO_ERROR) {
        return {};
    }
    return buffer;
}

// The platform's interface table, unsorted: its order is what a NicAdapter position counts.
std::vector<BYTE> ReadInterfaceTable() {
    return ReadTable([](BYTE* table, ULONG* size) {
        return GetIfTable(reinterpret_cast<MIB_IFTABLE*>(table), size, FALSE);
    });
}

// A chosen adapter that cannot be read is gone for now (unplugged, undocked): its cells show zero
// rather than nothing or its last figures, and its return starts a fresh interval, since its
// counters moved or restarted meanwhile.
RateText AdapterGone() {
    const DWORD index = MonitoredAdapterRow.dwIndex;
    MonitoredAdapterRow = {};
    MonitoredAdapterRow.dwIndex = index;
    AdapterRateMeter& meter = RateMeter();
    meter.StartFreshInterval();
    return ChosenFromTable() ? FormatAdapterRates({}) : RateText{};
}

// Stands in for the reading asked for last, which may be from before a change.
void ReadAdapterNow() {
    MIB_IF_ROW2 reading = MonitoredQuestion();
    const bool succeeded = ReadInterface(reading);
    Reader().Replace(reading, succeeded);
}

} // namespace

void EnumerateInterfaces() {
    const std::vector<BYTE> buffer = ReadInterfaceTable();
    std::vector<DWORD>& indexes = IndexTable();
    indexes.clear();
    if (buffer.empty()) {
        return;
    }
    const auto* table = reinterpret_cast<const MIB_IFTABLE*>(buffer.data());
    for (DWORD row = 0; row < table->dwNumEntries; ++row) {
        indexes.push_back(table->table[row].dwIndex);
    }
}

std::vector<std::string> ReadInterfaceDescriptions() {
    const std::vector<BYTE> buffer = ReadInterfaceTable();
    std::vector<std::string> descriptions;
    if (buffer.empty()) {
        return descriptions;
    }
    const auto* table = reinterpret_cast<const MIB_IFTABLE*>(buffer.data());
    for (DWORD row = 0; row < table->dwNumEntries; ++row) {
        const MIB_IFROW& entry = table->table[row];
        const auto* bytes = reinterpret_cast<const char*>(entry.bDescr);
        descriptions.emplace_back(bytes, strnlen(bytes, MAXLEN_IFDESCR));
    }
    return descriptions;
}

std::span<const DWORD> InterfaceIndexTable() {
    return IndexTable();
}

void SelectMonitoredAdapter(int32_t position) {
    const std::optional<DWORD> index = InterfaceIndexAt(position);
    ChosenFromTable() = index.has_value();
    MonitoredAdapterRow.dwIndex = index.value_or(kNoInterface);
    MonitoredLuid() = {};
    ConvertInterfaceIndexToLuid(MonitoredAdapterRow.dwIndex, &MonitoredLuid());
    // Read the new adapter at once, so the next tick shows it rather than the one before.
    ReadAdapterNow();
}

void StartFreshAdapterInterval() {
    RateMeter().StartFreshInterval();
    ReadAdapterNow();
}

bool ReadPlatformInterface(MIB_IF_ROW2& row) {
    return GetIfEntry2(&row) == NO_ERROR;
}

void UseInterfaceReader(InterfaceReader reader) {
    Source().store(reader);
}

void FillInterfaceRow(const MIB_IF_ROW2& source, MIB_IFROW& row) {
    swprintf(row.wszName, MAX_INTERFACE_NAME_LEN,
             L"\\DEVICE\\TCPIP_{%08lX-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}",
             source.InterfaceGuid.Data1, source.InterfaceGuid.Data2, source.InterfaceGuid.Data3,
             source.InterfaceGuid.Data4[0], source.InterfaceGuid.Data4[1],
             source.InterfaceGuid.Data4[2], source.InterfaceGuid.Data4[3],
             source.InterfaceGuid.Data4[4], source.InterfaceGuid.Data4[5],
             source.InterfaceGuid.Data4[6], source.InterfaceGuid.Data4[7]);
    row.dwIndex = source.InterfaceIndex;
    row.dwType = source.Type;
    row.dwMtu = source.Mtu;
    row.dwSpeed = DWORD(std::min<ULONG64>(source.TransmitLinkSpeed, MAXDWORD));
    row.dwPhysAddrLen = std::min<DWORD>(source.PhysicalAddressLength, MAXLEN_PHYSADDR);
    std::copy_n(source.PhysicalAddress, row.dwPhysAddrLen, row.bPhysAddr);
    row.dwAdminStatus = source.AdminStatus;
    row.dwOperStatus = source.OperStatus == IfOperStatusUp ? IF_OPER_STATUS_OPERATIONAL
                                                           : IF_OPER_STATUS_NON_OPERATIONAL;
    row.dwInOctets = DWORD(source.InOctets);
    row.dwInUcastPkts = DWORD(source.InUcastPkts);
    row.dwInNUcastPkts = DWORD(source.InNUcastPkts);
    row.dwInDiscards = DWORD(source.InDiscards);
    row.dwInErrors = DWORD(source.InErrors);
    row.dwInUnknownProtos = DWORD(source.InUnknownProtos);
    row.dwOutOctets = DWORD(source.OutOctets);
    row.dwOutUcastPkts = DWORD(source.OutUcastPkts);
    row.dwOutNUcastPkts = DWORD(source.OutNUcastPkts);
    row.dwOutDiscards = DWORD(source.OutDiscards);
    row.dwOutErrors = DWORD(source.OutErrors);
    row.dwOutQLen = DWORD(source.OutQLen);
    const WCHAR* end = std::find(source.Description, std::end(source.Description), L'\0');
    const std::wstring_view description(source.Description, size_t(end - source.Description));
    const size_t length =
        CopyShortenedText(description, CP_ACP, reinterpret_cast<char*>(row.bDescr), MAXLEN_IFDESCR);
    row.dwDescrLen = DWORD(length + 1);
}

size_t CopyShortenedText(std::wstring_view text, UINT codePage, char* out, size_t capacity) {
    const auto bytesFor = [&](size_t characters) {
        return size_t(WideCharToMultiByte(codePage, 0, text.data(), int(characters), nullptr, 0,
                                          nullptr, nullptr));
    };
    const size_t room = capacity - 1;
    size_t characters = text.size();
    if (characters > 0 && bytesFor(characters) > room) {
        // The longest start that fits: no start is longer in bytes than a longer start.
        size_t fits = 0;
        size_t tooLong = characters;
        while (tooLong - fits > 1) {
            const size_t middle = fits + (tooLong - fits) / 2;
            (bytesFor(middle) <= room ? fits : tooLong) = middle;
        }
        characters = fits;
        if (characters > 0 && IS_HIGH_SURROGATE(text[characters - 1])) {
            --characters; // a pair stays whole
        }
    }
    const int written = characters == 0
                            ? 0
                            : WideCharToMultiByte(codePage, 0, text.data(), int(characters), out,
                                                  int(room), nullptr, nullptr);
    out[written > 0 ? size_t(written) : 0] = '\0';
    return written > 0 ? size_t(written) : 0;
}

RateText SampleAdapterRates() {
    const RateText text = TakeAdapterRates();
    RequestAdapterReading();
    return text;
}

void RequestAdapterReading() {
    Reader().Request(MonitoredQuestion());
}

RateText TakeAdapterRates() {
    static MIB_IF_ROW2 reading;
    static RateText text;
    const std::optional<bool> succeeded = Reader().Take(reading);
    if (!succeeded) {
        return text; // the next reading is late: the figures stand for one more tick
    }
    if (!*succeeded) {
        return text = AdapterGone();
    }
    FillInterfaceRow(reading, MonitoredAdapterRow);
    return text = FormatAdapterRates(
               RateMeter().Update(MonitoredAdapterRow.dwInOctets, MonitoredAdapterRow.dwOutOctets));
}

bool AwaitAdapterReading() {
    return Reader().AwaitIdle(std::chrono::seconds(2));
}

AdapterAddress ReadAdapterAddress(int32_t position) {
    const std::optional<DWORD> index = InterfaceIndexAt(position);
    if (!index) {
        return {};
    }
    const std::vector<BYTE> buffer = ReadTable([](BYTE* table, ULONG* size) {
        return GetIpAddrTable(reinterpret_cast<MIB_IPADDRTABLE*>(table), size, FALSE);
    });
    if (buffer.empty()) {
        return {};
    }
    // The address table is in an order of its own: find the interface's row by its index.
    const auto* table = reinterpret_cast<const MIB_IPADDRTABLE*>(buffer.data());
    for (DWORD row = 0; row < table->dwNumEntries; ++row) {
        const MIB_IPADDRROW& entry = table->table[row];
        if (entry.dwIndex == *index) {
            return {FormatIpv4(entry.dwAddr), FormatIpv4(entry.dwMask)};
        }
    }
    return {};
}

} // namespace qv
