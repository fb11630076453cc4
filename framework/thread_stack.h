#pragma once

// Header-only: the portable reader's Windows branch uses it too, in builds without the Windows
// library.
#include <windows.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>

namespace qv {

// Under Wine every thread's stack is at least 1 MB and is written whole before the thread runs,
// so a thread that needs a few kilobytes costs a megabyte of private memory. This gives back the
// pages of the calling thread's stack more than `keep` bytes below the caller; they stay usable
// and come back as fresh pages when the stack grows into them again. Call it from a thread's
// entry (and as its last act, for a stack Wine keeps after the thread ends).
//
// It walks the stack's allocation from its bottom up to the kept part and resets the plain
// read-write runs: the guard page and what is only reserved stay as they are.
__attribute__((noinline)) inline void ReleaseUnusedStack(std::size_t keep = 64 * 1024) {
    volatile char here = 0;
    const auto mark = reinterpret_cast<uintptr_t>(&here);
    MEMORY_BASIC_INFORMATION region{};
    if (mark <= keep || !VirtualQuery(const_cast<char*>(&here), &region, sizeof region)) {
        return;
    }
    const uintptr_t end = (mark - keep) & ~uintptr_t(0xFFF);
    auto address = reinterpret_cast<uintptr_t>(region.AllocationBase);
    while (address < end &&
           VirtualQuery(reinterpret_cast<void*>(address), &region, sizeof region)) {
        const uintptr_t runEnd = std::min(address + region.RegionSize, end);
        if (region.State == MEM_COMMIT && region.Protect == PAGE_READWRITE) {
            VirtualAlloc(reinterpret_cast<void*>(address), runEnd - address, MEM_RESET,
                         PAGE_READWRITE);
        }
        address += region.RegionSize;
    }
}

} // namespace qv
