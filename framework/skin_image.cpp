#include "framework/skin_image.h"

#include <algorithm>

#include "framework/display_scale.h"
#include "framework/handles.h"

namespace qv {

namespace {

BITMAPINFO TopDownInfo(int width, int height) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return info;
}

HBITMAP ControlBitmap(HWND control) {
    return reinterpret_cast<HBITMAP>(SendMessageA(control, STM_GETIMAGE, IMAGE_BITMAP, 0));
}

} // namespace

SkinPixels ReadSkinPixels(HBITMAP bitmap) {
    BITMAP shape{};
    if (!bitmap || !GetObjectA(bitmap, sizeof shape, &shape) || shape.bmWidth <= 0 ||
        shape.bmHeight <= 0) {
        return {};
    }
    SkinPixels read{shape.bmWidth, shape.bmHeight,
                    std::vector<uint32_t>(size_t(shape.bmWidth) * size_t(shape.bmHeight))};
    BITMAPINFO info = TopDownInfo(read.width, read.height);
    const WindowDC screen(nullptr);
    const int rows = GetDIBits(screen.get(), bitmap, 0, UINT(read.height), read.pixels.data(),
                               &info, DIB_RGB_COLORS);
    if (rows != read.height) {
        return {};
    }
    for (uint32_t& pixel : read.pixels) {
        pixel &= 0x00FFFFFF;
    }
    return read;
}

UniqueBitmap CreateSkinBitmap(const SkinPixels& pixels) {
    if (pixels.pixels.empty()) {
        return {};
    }
    const BITMAPINFO info = TopDownInfo(pixels.width, pixels.height);
    void* bits = nullptr;
    UniqueBitmap bitmap(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (bits) {
        std::copy(pixels.pixels.begin(), pixels.pixels.end(), static_cast<uint32_t*>(bits));
    }
    return bitmap;
}

UniqueBitmap LoadSkinBitmap(int id, int dpi, int width, int height) {
    const int set = SkinSetFor(dpi);
    UniqueBitmap loaded(static_cast<HBITMAP>(LoadImageA(GetModuleHandleA(nullptr),
                                                        MAKEINTRESOURCEA(id + set * kSkinSetIdStep),
                                                        IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    BITMAP shape{};
    if (!loaded || !GetObjectA(loaded.get(), sizeof shape, &shape)) {
        return {};
    }
    if (shape.bmWidth == width && shape.bmHeight == height) {
        return loaded;
    }
    return CreateSkinBitmap(ResampleSkinPixels(ReadSkinPixels(loaded.get()), width, height));
}

// The picture the control held before is ours, or the one its template loaded, which nobody
// else frees once it is replaced.
void SkinImage::Scale(int id, const PixelRect& placedAt, int dpi) {
    if (!shown_ && dpi == kDesignDpi) {
        return;
    }
    const PixelRect place = ScaleRect(placedAt, dpi);
    UniqueBitmap next = LoadSkinBitmap(id, dpi, place.width, place.height);
    if (!next) {
        return;
    }
    const auto previous = reinterpret_cast<HBITMAP>(
        SendMessageA(control_, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(next.get())));
    if (previous && previous != shown_.get()) {
        DeleteObject(previous);
    }
    shown_ = std::move(next);
}

void SkinImage::ShowAt(int id, const PixelRect& placedAt, int dpi) {
    Scale(id, placedAt, dpi);
    const PixelRect place = ScaleRect(placedAt, dpi);
    MoveWindow(control_, place.x, place.y, place.width, place.height, TRUE);
}

HBITMAP SkinImage::Current() const {
    return ControlBitmap(control_);
}

} // namespace qv
