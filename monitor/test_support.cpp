#include <winsock2.h>

#include "monitor/test_support.h"

#include <winternl.h>

#include <atomic>
#include <vector>

#include "monitor/adapter_monitor.h"

#include "app/bar_wintest_support.h"
#include "app/singletons.h"

namespace qv::testing {

void BarTest::SetUp() {
    ASSERT_TRUE(qv::testing::CreateStartedBar());
    KillTimer(theBar.hwnd(), BarRefreshTimer);
    screenWidth = GetSystemMetrics(SM_CXSCREEN);
}

void BarTest::TearDown() {
    theBar.Destroy();
}

bool TimerRunning(HWND window, UINT_PTR id) {
    if (!KillTimer(window, id)) {
        return false;
    }
    SetTimer(window, id, 1000, nullptr);
    return true;
}

std::optional<int32_t> PositionOfType(DWORD type) {
    const std::vector<DWORD> indexes = ReadInterfaceIndexes();
    for (size_t position = 0; position < indexes.size(); ++position) {
        MIB_IFROW row{};
        row.dwIndex = indexes[position];
        if (GetIfEntry(&row) == NO_ERROR && row.dwType == type) {
            return int32_t(position);
        }
    }
    return std::nullopt;
}

namespace {

std::atomic<DWORD> takenIndex{0};

bool ReadUnlessTaken(MIB_IF_ROW2& row) {
    if (row.InterfaceIndex == takenIndex.load()) {
        return false;
    }
    return ReadPlatformInterface(row);
}

} // namespace

InterfaceTakenAway::InterfaceTakenAway(AdapterMonitor& adapter, DWORD index) : adapter_(adapter) {
    takenIndex = index;
    adapter_.UseReader(ReadUnlessTaken);
}

InterfaceTakenAway::~InterfaceTakenAway() {
    adapter_.UseReader(ReadPlatformInterface);
    takenIndex = 0;
}

namespace {

std::atomic<uint64_t> countedIn{0}, countedOut{0};

bool ReadCounters(MIB_IF_ROW2& row) {
    row.InOctets = countedIn.load();
    row.OutOctets = countedOut.load();
    return true;
}

} // namespace

AdapterCounters::AdapterCounters(AdapterMonitor& adapter) : adapter_(adapter) {
    adapter_.UseReader(ReadCounters);
}

AdapterCounters::~AdapterCounters() {
    adapter_.UseReader(ReadPlatformInterface);
}

void AdapterCounters::Set(uint64_t in, uint64_t out) {
    countedIn = in;
    countedOut = out;
    adapter_.StartFreshInterval();
    adapter_.Take();
}

void SendOverLoopback(int datagrams, int size) {
    WSADATA data;
    ASSERT_EQ(WSAStartup(MAKEWORD(2, 2), &data), 0);
    const SOCKET receiver = socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
    const SOCKET sender = socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    int length = sizeof address;
    ASSERT_EQ(bind(receiver, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    getsockname(receiver, reinterpret_cast<sockaddr*>(&address), &length);
    const std::vector<char> payload(static_cast<size_t>(size), 'q');
    std::vector<char> incoming(static_cast<size_t>(size));
    for (int i = 0; i < datagrams; ++i) {
        ASSERT_EQ(sendto(sender, payload.data(), size, 0, reinterpret_cast<sockaddr*>(&address),
                         sizeof address),
                  size);
        ASSERT_EQ(recv(receiver, incoming.data(), size, 0), size);
    }
    closesocket(sender);
    closesocket(receiver);
    WSACleanup();
}

NTSTATUS SpreadIdleTime(void* buffer, ULONG length, uint64_t idleTime) {
    constexpr size_t kProcessors = 4;
    auto* processors = static_cast<SYSTEM_PROCESSOR_PERFORMANCE_INFORMATION*>(buffer);
    if (length < kProcessors * sizeof processors[0]) {
        return NTSTATUS(0xC0000004);
    }
    for (size_t i = 0; i < kProcessors; ++i) {
        const uint64_t share = i + 1 == kProcessors ? idleTime : idleTime / 3;
        processors[i].IdleTime.QuadPart = LONGLONG(share);
        idleTime -= share;
    }
    return 0;
}

} // namespace qv::testing
