#include "monitor/adapter_monitor.h"

#include <algorithm>
#include <iterator>

#include "framework/wide_text.h"

namespace qv {

namespace {

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

std::string DescriptionOf(const MIB_IF_ROW2& row) {
    const WCHAR* end = std::find(row.Description, std::end(row.Description), L'\0');
    return Utf8(std::wstring_view(row.Description, size_t(end - row.Description)));
}

} // namespace

bool ReadPlatformInterface(MIB_IF_ROW2& row) {
    return GetIfEntry2(&row) == NO_ERROR;
}

// The platform's interface table, unsorted: its order is what a NicAdapter position counts.
std::vector<DWORD> ReadInterfaceIndexes() {
    const std::vector<BYTE> buffer = ReadTable([](BYTE* table, ULONG* size) {
        return GetIfTable(reinterpret_cast<MIB_IFTABLE*>(table), size, FALSE);
    });
    std::vector<DWORD> indexes;
    if (buffer.empty()) {
        return indexes;
    }
    const auto* table = reinterpret_cast<const MIB_IFTABLE*>(buffer.data());
    for (DWORD row = 0; row < table->dwNumEntries; ++row) {
        indexes.push_back(table->table[row].dwIndex);
    }
    return indexes;
}

// Each description read in Unicode, as the balloon shows it.
std::vector<std::string> ReadInterfaceDescriptions() {
    std::vector<std::string> descriptions;
    for (const DWORD index : ReadInterfaceIndexes()) {
        MIB_IF_ROW2 row{};
        row.InterfaceIndex = index;
        descriptions.push_back(ReadPlatformInterface(row) ? DescriptionOf(row) : std::string());
    }
    return descriptions;
}

std::optional<DWORD> DefaultRouteInterface() {
    sockaddr_in publicAddress{};
    publicAddress.sin_family = AF_INET;
    publicAddress.sin_addr.s_addr = 0x08080808; // 8.8.8.8: beyond any local network
    DWORD index = 0;
    if (GetBestInterfaceEx(reinterpret_cast<sockaddr*>(&publicAddress), &index) != NO_ERROR) {
        return std::nullopt;
    }
    return index;
}

AdapterMonitor::AdapterMonitor(InterfaceReader reader, RouteQuery route)
    : route_(route), reader_(reader),
      background_([this](MIB_IF_ROW2& row) { return ReadInterface(row); }) {}

void AdapterMonitor::Select(int32_t position) {
    position_ = position;
    chosenFromTable_ = position >= 0 && size_t(position) < table_.size();
    index_ = chosenFromTable_ ? table_[size_t(position)] : 0;
    luid_ = {};
    ConvertInterfaceIndexToLuid(index_, &luid_);
    // Read the new adapter at once, so the next tick shows it rather than the one before.
    ReadNow();
}

int32_t AdapterMonitor::SelectDefault() {
    const auto route = std::find(table_.begin(), table_.end(), route_().value_or(0));
    Select(route == table_.end() ? 0 : int32_t(route - table_.begin()));
    return position_;
}

void AdapterMonitor::StartFreshInterval() {
    meter_.StartFreshInterval();
    ReadNow();
}

MIB_IF_ROW2 AdapterMonitor::Question() const {
    MIB_IF_ROW2 question{};
    question.InterfaceLuid = luid_;
    question.InterfaceIndex = index_;
    return question;
}

// Stands in for the reading asked for last, which may be from before a change.
void AdapterMonitor::ReadNow() {
    MIB_IF_ROW2 reading = Question();
    const bool succeeded = ReadInterface(reading);
    background_.Replace(reading, succeeded);
}

// A chosen adapter that cannot be read is gone for now (unplugged, undocked): its cells show zero
// rather than nothing or its last figures, and its return starts a fresh interval, since its
// counters moved or restarted meanwhile.
RateText AdapterMonitor::Gone() {
    latest_ = {};
    meter_.StartFreshInterval(); // the counters moved or restarted meanwhile
    return chosenFromTable_ ? FormatAdapterRates({}) : RateText{};
}

RateText AdapterMonitor::Take() {
    const std::optional<bool> succeeded = background_.Take(taken_);
    if (!succeeded) {
        return text_; // the next reading is late: the figures stand for one more tick
    }
    if (!*succeeded) {
        return text_ = Gone();
    }
    latest_ = taken_;
    return text_ = FormatAdapterRates(meter_.Update(ReceivedOctets(), SentOctets()));
}

void AdapterMonitor::Request() {
    background_.Request(Question());
}

RateText AdapterMonitor::Sample() {
    const RateText text = Take();
    Request();
    return text;
}

bool AdapterMonitor::AwaitReading() {
    return background_.AwaitIdle(std::chrono::seconds(2));
}

NetworkFigures AdapterMonitor::Figures(const AdapterAddress& address) const {
    NetworkFigures figures;
    figures.description = DescriptionOf(latest_);
    std::copy_n(latest_.PhysicalAddress,
                std::min<size_t>(latest_.PhysicalAddressLength, figures.physicalAddress.size()),
                figures.physicalAddress.begin());
    figures.ip = address.ip;
    figures.mask = address.mask;
    figures.speed = uint32_t(std::min<ULONG64>(latest_.TransmitLinkSpeed, MAXDWORD));
    figures.mtu = latest_.Mtu;
    figures.inOctets = ReceivedOctets();
    figures.outOctets = SentOctets();
    figures.inErrors = uint32_t(latest_.InErrors);
    figures.outErrors = uint32_t(latest_.OutErrors);
    return figures;
}

AdapterAddress AdapterMonitor::ReadAddress() const {
    if (!chosenFromTable_) {
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
        if (entry.dwIndex == index_) {
            return {FormatIpv4(entry.dwAddr), FormatIpv4(entry.dwMask)};
        }
    }
    return {};
}

} // namespace qv
