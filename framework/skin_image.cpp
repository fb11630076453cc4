#include "framework/skin_image.h"

#include <algorithm>
#include <unordered_map>
#include <vector>

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

// The colours of a bitmap's table as 0x00RRGGBB, as ReadSkinPixels gives them; empty when it has
// none (more than 8 bits a pixel).
std::vector<uint32_t> ColourTable(HBITMAP bitmap) {
    RGBQUAD table[256];
    const UniqueMemoryDC dc(CreateCompatibleDC(nullptr));
    const SelectGuard selected(dc.get(), bitmap);
    const UINT count = GetDIBColorTable(dc.get(), 0, 256, table);
    std::vector<uint32_t> colours(count);
    for (UINT i = 0; i < count; ++i) {
        colours[i] =
            uint32_t(table[i].rgbRed) << 16 | uint32_t(table[i].rgbGreen) << 8 | table[i].rgbBlue;
    }
    return colours;
}

// Whole pixels taken from a picture with a colour table are all in that table: the shrunk picture
// keeps it, at a quarter of the memory of 32 bits. Null when a pixel is not in the table.
UniqueBitmap CreateTableSkinBitmap(const SkinPixels& pixels, const std::vector<uint32_t>& table) {
    std::unordered_map<uint32_t, uint8_t> indexOf;
    for (size_t i = table.size(); i-- > 0;) {
        indexOf[table[i]] = uint8_t(i); // the first entry of a colour listed twice
    }
    struct {
        BITMAPINFOHEADER header;
        RGBQUAD colours[256];
    } info{};
    info.header = TopDownInfo(pixels.width, pixels.height).bmiHeader;
    info.header.biBitCount = 8;
    info.header.biClrUsed = DWORD(table.size());
    for (size_t i = 0; i < table.size(); ++i) {
        info.colours[i] = {BYTE(table[i]), BYTE(table[i] >> 8), BYTE(table[i] >> 16), 0};
    }
    void* bits = nullptr;
    UniqueBitmap bitmap(CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(&info),
                                         DIB_RGB_COLORS, &bits, nullptr, 0));
    const size_t stride = (size_t(pixels.width) + 3) & ~size_t(3);
    for (size_t y = 0; bits && y < size_t(pixels.height); ++y) {
        for (size_t x = 0; x < size_t(pixels.width); ++x) {
            const auto found = indexOf.find(pixels.pixels[y * size_t(pixels.width) + x]);
            if (found == indexOf.end()) {
                return {};
            }
            static_cast<uint8_t*>(bits)[y * stride + x] = found->second;
        }
    }
    return bitmap; // null when it could not be made
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
    const SkinPixels resampled = ResampleSkinPixels(ReadSkinPixels(loaded.get()), width, height);
    if (shape.bmBitsPixel <= 8 && !resampled.pixels.empty()) {
        if (UniqueBitmap kept = CreateTableSkinBitmap(resampled, ColourTable(loaded.get()))) {
            return kept;
        }
    }
    return CreateSkinBitmap(resampled);
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
