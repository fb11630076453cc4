#include "app/bar_zones.h"

#include <cstddef>

namespace qv {

namespace {

// Inclusive ranges.
template <typename Zone> struct ZoneRect {
    Zone zone;
    int left, right, top, bottom;
    bool Holds(int x, int y, int dpi) const {
        return ZoneHolds(x, y, left, right, top, bottom, dpi);
    }
};

constexpr ZoneRect<HoverZone> kHoverZones[] = {
    {HoverZone::NewsIcon, 1, 10, 3, 12},           {HoverZone::WebSearchIcon, 205, 214, 3, 12},
    {HoverZone::VideoSearchIcon, 219, 232, 3, 12}, {HoverZone::PlayButton, 16, 28, 3, 12},
    {HoverZone::PlayerIcon, 35, 44, 3, 12},        {HoverZone::CpuCell, 53, 73, 3, 12},
    {HoverZone::MemoryCell, 80, 113, 3, 12},       {HoverZone::NetworkCell, 121, 159, 3, 12},
};

constexpr ZoneRect<ClickZone> kClickZones[] = {
    {ClickZone::NewsIcon, 1, 10, 1, 17},           {ClickZone::WebSearchIcon, 205, 217, 1, 17},
    {ClickZone::VideoSearchIcon, 220, 233, 3, 12}, {ClickZone::PlayButton, 16, 28, 1, 17},
    {ClickZone::PlayerIcon, 35, 44, 3, 12},        {ClickZone::ValueCells, 48, 200, 1, 17},
};

template <typename Zone, std::size_t Count>
Zone FirstHolding(const ZoneRect<Zone> (&zones)[Count], int x, int y, int dpi) {
    for (const ZoneRect<Zone>& zone : zones) {
        if (zone.Holds(x, y, dpi)) {
            return zone.zone;
        }
    }
    return Zone::None;
}

} // namespace

HoverZone HitHoverZone(int x, int y, int dpi) {
    return FirstHolding(kHoverZones, x, y, dpi);
}

ClickZone HitClickZone(int x, int y, int dpi) {
    return FirstHolding(kClickZones, x, y, dpi);
}

} // namespace qv
