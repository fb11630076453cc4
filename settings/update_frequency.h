#pragma once

#include <array>
#include <cstdint>
#include <optional>

namespace qv {

struct UpdateFrequency {
    const char* label;
    uint32_t periodMs;
};

// Index = the stored UpdateFrequency value; the labels fill the settings dialog's list in order.
inline constexpr std::array<UpdateFrequency, 6> kUpdateFrequencies{{
    {"5 Minutes", 300000},
    {"10 Minutes", 600000},
    {"15 Minutes", 900000},
    {"30 Minutes", 1800000},
    {"1 Hour", 3600000},
    {"2 Hours", 7200000},
}};

// Any stored value outside the table arms no update timer.
inline std::optional<uint32_t> UpdatePeriodMs(uint32_t storedIndex) {
    if (storedIndex >= kUpdateFrequencies.size()) {
        return std::nullopt;
    }
    return kUpdateFrequencies[storedIndex].periodMs;
}

} // namespace qv
