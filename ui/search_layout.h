#pragma once

#include "framework/pixel_rect.h"

namespace qv {

// The web-search box, in its client pixels: where its controls go, and what the pointer is
// over. The picture under them is res/art's search_skin.bmp.
inline constexpr PixelRect kSearchBoxRect{0, 0, 378, 53};
inline constexpr PixelRect kSearchEditRect{75, 27, 240, 15};
inline constexpr PixelRect kSearchIconRect{325, 21, 30, 28};

enum class SearchBoxZone { Magnifier, CloseMark, None };

// Bounds included on every side.
constexpr SearchBoxZone HitSearchBoxZone(int x, int y) {
    if (x >= 332 && x <= 354 && y >= 23 && y <= 43) {
        return SearchBoxZone::Magnifier;
    }
    if (x >= 355 && x <= 372 && y >= 5 && y <= 22) {
        return SearchBoxZone::CloseMark;
    }
    return SearchBoxZone::None;
}

} // namespace qv
