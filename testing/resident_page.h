#pragma once

// Whether a page of this process is in memory now: what a thread's stack really costs.
#include <windows.h>
#include <psapi.h>

#include <cstdint>

namespace qv::testing {

inline bool PageResident(uintptr_t address) {
    PSAPI_WORKING_SET_EX_INFORMATION info{};
    info.VirtualAddress = reinterpret_cast<void*>(address);
    return QueryWorkingSetEx(GetCurrentProcess(), &info, sizeof info) &&
           info.VirtualAttributes.Valid;
}

// A page of the calling thread's stack `depth` bytes below the caller.
inline uintptr_t StackPageBelow(size_t depth) {
    volatile char here = 0;
    return (reinterpret_cast<uintptr_t>(&here) - depth) & ~uintptr_t(0xFFF);
}

} // namespace qv::testing
