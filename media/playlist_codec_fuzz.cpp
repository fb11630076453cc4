#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "media/playlist_codec.h"

namespace {

bool DoubleByteLead(uint8_t byte) {
    return byte >= 0x81 && byte <= 0xFE;
}

} // namespace

// Any bytes parse without fault, in single- and double-byte code pages; entries free of tags
// survive a write and a second read unchanged.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    qv::ParsePlaylist(text, DoubleByteLead);
    const auto entries = qv::ParsePlaylist(text);
    for (const auto& entry : entries) {
        if (qv::HoldsPlaylistTag(entry.name) || qv::HoldsPlaylistTag(entry.link) ||
            entry.name.find('\0') != std::string::npos) {
            return 0;
        }
    }
    if (qv::ParsePlaylist(qv::FormatPlaylist(entries)) != entries) {
        std::abort();
    }
    return 0;
}
