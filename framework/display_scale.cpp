#include "framework/display_scale.h"

namespace qv {

namespace {

// Written and read on the GUI thread only.
int currentDpi = kDesignDpi;

} // namespace

int Px(int length) {
    return ScaleLength(length, currentDpi);
}

int CurrentDpi() {
    return currentDpi;
}

// A DPI the system cannot mean (none, or one that would overflow a length) leaves 100 %.
void SetCurrentDpi(int dpi) {
    currentDpi = (dpi >= 24 && dpi <= 960) ? dpi : kDesignDpi;
}

PixelRect PxRect(const PixelRect& rect) {
    return ScaleRect(rect, currentDpi);
}

} // namespace qv
