// Feeds arbitrary status notifications and progress figures to the status lines: whatever
// WinINet passes, a line must come out whole, within its buffer, without undefined behaviour.
#include <cstdint>
#include <cstring>
#include <string>

#include "net/fetch_status.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    uint32_t status = 0;
    int64_t seconds = 0;
    if (size < sizeof status + sizeof seconds) {
        return 0;
    }
    std::memcpy(&status, data, sizeof status);
    std::memcpy(&seconds, data + sizeof status, sizeof seconds);
    data += sizeof status + sizeof seconds;
    size -= sizeof status + sizeof seconds;
    // Only the status value's low bits matter to the table; keep the known ones frequent.
    const uint32_t value = status & 0x100 ? status : status % 110;
    const auto line = qv::FetchStatusLine(value, data, uint32_t(size));
    if (line && line->size() >= qv::kStatusLineCapacity) {
        __builtin_trap();
    }
    double figure = 0;
    if (qv::ProgressLine(uint32_t(size) * status, seconds, figure).size() >= 64) {
        __builtin_trap();
    }
    return 0;
}
