#pragma once

#include "framework/display_scale.h"
#include "framework/pixel_rect.h"

namespace qv {

// The web-search box, in its client pixels: where its controls go, and what the pointer is
// over. The picture under them is res/art's search_skin.bmp.
inline constexpr PixelRect kSearchBoxRect{0, 0, 378, 53};
inline constexpr PixelRect kSearchEditRect{75, 27, 240, 15};
inline constexpr PixelRect kSearchIconRect{325, 21, 30, 28};

enum class SearchBoxZone { Magnifier, CloseMark, None };

// Bounds included on every side, in 100 % pixels.
constexpr SearchBoxZone HitSearchBoxZone(int x, int y, int dpi = kDesignDpi) {
    if (ZoneHolds(x, y, 332, 354, 23, 43, dpi)) {
        return SearchBoxZone::Magnifier;
    }
    if (ZoneHolds(x, y, 355, 372, 5, 22, dpi)) {
        return SearchBoxZone::CloseMark;
    }
    return SearchBoxZone::None;
}

} // namespace qv
