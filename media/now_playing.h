#pragma once

#include <cstdint>
#include <string>

namespace qv {

// The one playback-state record, held by the playlist panel.
struct NowPlaying {
    std::string title; // UTF-8, as the row shows it
    std::string link;  // UTF-8
    bool isPlaying = false;
    bool playerPinned = false;
    bool fromSearch = false;
    int64_t startTime = 0; // seconds since 1970-01-01 UTC
    uint32_t startInOctets = 0;
    int32_t bitRate = 0;
};

} // namespace qv
