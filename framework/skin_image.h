#pragma once

#include <windows.h>

#include "framework/handles.h"
#include "framework/pixel_rect.h"
#include "framework/skin_pixels.h"

namespace qv {

// Reads a bitmap's pixels (32 bits, top row first); empty when it cannot be read.
SkinPixels ReadSkinPixels(HBITMAP bitmap);
UniqueBitmap CreateSkinBitmap(const SkinPixels& pixels);

// Bitmap `id` from the art set for dpi, at exactly `width` x `height`: the set's own picture
// when it has that size, else resampled from it; null when it cannot be loaded.
UniqueBitmap LoadSkinBitmap(int id, int dpi, int width, int height);

// A static control's skin picture at the display's scale, from the art set for that scale. At
// 100 % the control keeps the picture its template loaded, untouched, until the scale changes;
// only the picture in use is kept.
class SkinImage {
public:
    void Attach(HWND control) { control_ = control; }
    // Gives the control bitmap `id` for `placedAt` (100 % pixels of its window) at dpi.
    void Scale(int id, const PixelRect& placedAt, int dpi);
    // The same, and places the control there.
    void ShowAt(int id, const PixelRect& placedAt, int dpi);
    HBITMAP Current() const;

private:
    HWND control_ = nullptr;
    UniqueBitmap shown_;
};

} // namespace qv
