#pragma once

#include "framework/pixel_rect.h"

namespace qv {

// Every length of the skins and windows is drawn for 96 DPI (100 %); at another DPI each one is
// scaled by dpi / 96 and rounded here, the same way for every window, so that neighbouring
// pieces of one design still meet at any scale.
inline constexpr int kDesignDpi = 96;

// Nearest pixel, halves away from zero (as MulDiv rounds).
constexpr int ScaleLength(int length, int dpi) {
    const long long product = static_cast<long long>(length) * dpi;
    const long long half = kDesignDpi / 2;
    return static_cast<int>(product >= 0 ? (product + half) / kDesignDpi
                                         : -((-product + half) / kDesignDpi));
}

// A 100 % length at the process's scale. Its DPI is the primary monitor's, set by the bar at
// start and at each change of the display scale.
int Px(int length);
int CurrentDpi();
void SetCurrentDpi(int dpi);

// A rectangle scaled by its edges, not by its size, so that pieces placed side by side at
// 100 % still touch without a gap or an overlap.
constexpr PixelRect ScaleRect(const PixelRect& rect, int dpi) {
    const int left = ScaleLength(rect.x, dpi);
    const int top = ScaleLength(rect.y, dpi);
    return {left, top, ScaleLength(rect.x + rect.width, dpi) - left,
            ScaleLength(rect.y + rect.height, dpi) - top};
}
PixelRect PxRect(const PixelRect& rect);

// An inclusive range of 100 % pixels [first, last] covers the scaled pixels from the scaled
// first edge up to just before the scaled edge after last.
struct PixelSpan {
    int first;
    int last;
    bool operator==(const PixelSpan&) const = default;
};
constexpr PixelSpan ScaleSpan(int first, int last, int dpi) {
    return {ScaleLength(first, dpi), ScaleLength(last + 1, dpi) - 1};
}

// Whether a point of a window at dpi lies in a pointer zone given in 100 % pixels, bounds
// included on every side.
constexpr bool ZoneHolds(int x, int y, int left, int right, int top, int bottom, int dpi) {
    const PixelSpan across = ScaleSpan(left, right, dpi);
    const PixelSpan down = ScaleSpan(top, bottom, dpi);
    return x >= across.first && x <= across.last && y >= down.first && y <= down.last;
}

} // namespace qv
