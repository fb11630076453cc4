#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "media/now_playing.h"

namespace qv {

// What one section of the information balloon shows: a bold heading and rows of a label and a
// value, the value in a column whose x depends on the section.
struct SectionRow {
    std::string label;
    std::string value;
    bool operator==(const SectionRow&) const = default;
};

struct SectionLayout {
    std::string heading;
    int valueX = 0;
    std::vector<SectionRow> rows;
};

inline constexpr int kHeadingX = 5;
inline constexpr int kHeadingY = 25;
inline constexpr int kLabelX = 5;

inline constexpr int kSectionRowHeight = 15;

constexpr int SectionRowY(size_t row) {
    return 55 + kSectionRowHeight * int(row);
}

struct ProcessorFigures {
    unsigned architecture = 0;
    uint32_t pageSize = 0;
    int64_t lowestAddress = 0;
    int64_t highestAddress = 0;
    uint32_t processorCount = 0;
    unsigned level = 0;
};

struct MemoryFigures {
    uint32_t load = 0;
    uint64_t totalPhysical = 0;
    uint64_t availablePhysical = 0;
    uint64_t totalPageFile = 0;
    uint64_t availablePageFile = 0;
    uint64_t totalVirtual = 0;
};

struct NetworkFigures {
    std::string description; // UTF-8, as every text of a section
    std::array<uint8_t, 6> physicalAddress{};
    std::string_view ip;
    std::string_view mask;
    uint32_t speed = 0; // bits per second
    uint32_t mtu = 0;
    uint32_t inOctets = 0;
    uint32_t outOctets = 0;
    uint32_t inErrors = 0;
    uint32_t outErrors = 0;
};

// now: seconds since 1970; currentInOctets: the monitored adapter's received-octet counter.
SectionLayout MediaSection(const NowPlaying& playing, int64_t now, uint32_t currentInOctets);
SectionLayout ProcessorSection(const ProcessorFigures& figures);
SectionLayout MemorySection(const MemoryFigures& figures);
SectionLayout NetworkSection(const NetworkFigures& figures);

const char* ProcessorArchitectureName(unsigned architecture);

// An IPv4 address as the platform stores it, first octet in the low byte, in dotted form.
std::string FormatIpv4(uint32_t address);

// The bytes of a fixed-size description field up to its first zero.
std::string_view TextUpToZero(const uint8_t* bytes, size_t size);

} // namespace qv
