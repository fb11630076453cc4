#include "testing/resource_count.h"

#include <windows.h>
#include <winternl.h>

#include <cstdint>
#include <vector>

namespace qv::testing {

namespace {

// The shared GDI handle table that the process environment block points to (Wine's layout). A
// freed entry keeps its type and links the free list through its object field; only its
// extended type is cleared.
struct GdiHandleEntry {
    uint64_t object;
    uint32_t owner;
    uint16_t unique;
    uint8_t extendedType;
    uint8_t reserved;
    uint64_t userData;
};
static_assert(sizeof(GdiHandleEntry) == 24);

constexpr size_t kGdiHandleCount = 0x10000;
constexpr size_t kPebGdiTableOffset = 0xF8;

template <typename Function> Function NtdllFunction(const char* name) {
    return reinterpret_cast<Function>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll"), name)));
}

const BYTE* ProcessEnvironmentBlock() {
    using Query = NTSTATUS(NTAPI*)(HANDLE, PROCESSINFOCLASS, void*, ULONG, ULONG*);
    const auto query = NtdllFunction<Query>("NtQueryInformationProcess");
    PROCESS_BASIC_INFORMATION info{};
    if (!query ||
        query(GetCurrentProcess(), ProcessBasicInformation, &info, sizeof info, nullptr)) {
        return nullptr;
    }
    return reinterpret_cast<const BYTE*>(info.PebBaseAddress);
}

int CountGdiTableEntries() {
    const BYTE* peb = ProcessEnvironmentBlock();
    if (!peb) {
        return -1;
    }
    const auto* table = *reinterpret_cast<GdiHandleEntry* const*>(peb + kPebGdiTableOffset);
    if (!table) {
        return -1;
    }
    int count = 0;
    for (size_t i = 0; i < kGdiHandleCount; ++i) {
        count += table[i].extendedType != 0;
    }
    return count;
}

struct SystemHandleEntry {
    ULONG processId;
    UCHAR objectType;
    UCHAR flags;
    USHORT handle;
    void* object;
    ACCESS_MASK access;
};

int CountSystemHandles() {
    using Query = NTSTATUS(NTAPI*)(ULONG, void*, ULONG, ULONG*);
    const auto query = NtdllFunction<Query>("NtQuerySystemInformation");
    constexpr ULONG kSystemHandleInformation = 16;
    std::vector<BYTE> buffer(4 << 20);
    ULONG length = 0;
    if (!query || query(kSystemHandleInformation, buffer.data(), ULONG(buffer.size()), &length)) {
        return -1;
    }
    const ULONG entries = *reinterpret_cast<const ULONG*>(buffer.data());
    const auto* entry = reinterpret_cast<const SystemHandleEntry*>(buffer.data() + sizeof(void*));
    int count = 0;
    for (ULONG i = 0; i < entries; ++i) {
        count += entry[i].processId == GetCurrentProcessId();
    }
    return count;
}

} // namespace

int GdiObjectCount() {
    const DWORD counted = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    return counted != 0 ? int(counted) : CountGdiTableEntries();
}

int KernelHandleCount() {
    DWORD counted = 0;
    if (GetProcessHandleCount(GetCurrentProcess(), &counted) && counted != 0) {
        return int(counted);
    }
    return CountSystemHandles();
}

} // namespace qv::testing
