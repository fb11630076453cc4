#include "framework/thread_stack.h"

#include <windows.h>

#include <algorithm>
#include <cstdint>

namespace qv {

// Walks the stack's allocation from its bottom up to the kept part and resets the plain
// read-write runs: the guard page and what is only reserved stay as they are.
void ReleaseUnusedStack(std::size_t keep) {
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
