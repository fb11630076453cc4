#include "testing/text_pixels.h"

#include <algorithm>

#include "framework/handles.h"
#include "framework/wide_text.h"

namespace qv::testing {

int TextPixelsDiffer(HDC actual, HDC background, int x, int y, std::string_view text,
                     const TextLook& look) {
    return TextPixelsDiffer(actual, background, x, y, std::wstring_view(Widen(text)), look);
}

int TextPixelsDiffer(HDC actual, HDC background, int x, int y, std::wstring_view text,
                     const TextLook& look) {
    const UniqueMemoryDC reference(CreateCompatibleDC(actual));
    SIZE extent{};
    {
        const SelectGuard font(reference.get(), look.font);
        GetTextExtentPoint32W(reference.get(), text.data(), int(text.size()), &extent);
    }
    const int width = x + extent.cx;
    const int height = y + extent.cy;
    const UniqueBitmap bitmap(CreateCompatibleBitmap(actual, width, height));
    const SelectGuard selected(reference.get(), bitmap.get());
    BitBlt(reference.get(), 0, 0, width, height, background, 0, 0, SRCCOPY);
    const SelectGuard font(reference.get(), look.font);
    SetTextColor(reference.get(), look.colour);
    SetBkMode(reference.get(), look.opaque ? OPAQUE : TRANSPARENT);
    SetBkColor(reference.get(), look.box);
    TextOutW(reference.get(), x, y, text.data(), int(text.size()));
    int differing = 0;
    const int last = look.rows > 0 ? std::min(height, y + look.rows) : height;
    for (int row = y; row < last; ++row) {
        for (int column = x; column < width; ++column) {
            differing += GetPixel(actual, column, row) != GetPixel(reference.get(), column, row);
        }
    }
    return differing;
}

bool AreaDiffers(HDC one, HDC other, const RECT& area) {
    for (int y = area.top; y < area.bottom; ++y) {
        for (int x = area.left; x < area.right; ++x) {
            if (GetPixel(one, x, y) != GetPixel(other, x, y)) {
                return true;
            }
        }
    }
    return false;
}

EraseOutcome EraseOnRed(HWND window) {
    RECT client{};
    GetClientRect(window, &client);
    const WindowDC screen(window);
    const UniqueMemoryDC canvas(CreateCompatibleDC(screen.get()));
    const UniqueMemoryDC red(CreateCompatibleDC(screen.get()));
    const UniqueBitmap canvasBits(
        CreateCompatibleBitmap(screen.get(), client.right, client.bottom));
    const UniqueBitmap redBits(CreateCompatibleBitmap(screen.get(), client.right, client.bottom));
    const SelectGuard canvasSelected(canvas.get(), canvasBits.get());
    const SelectGuard redSelected(red.get(), redBits.get());
    const UniqueBrush brush(CreateSolidBrush(RGB(255, 0, 0)));
    FillRect(canvas.get(), &client, brush.get());
    FillRect(red.get(), &client, brush.get());
    const LRESULT answer = SendMessageA(window, WM_ERASEBKGND, WPARAM(canvas.get()), 0);
    return {answer, !AreaDiffers(canvas.get(), red.get(), client)};
}

std::vector<COLORREF> PicturePixels(HBITMAP image, int width, int height) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height; // top row first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    std::vector<RGBQUAD> quads(size_t(width * height));
    const HDC screen = GetDC(nullptr);
    GetDIBits(screen, image, 0, UINT(height), quads.data(), &info, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    std::vector<COLORREF> pixels;
    for (const RGBQUAD& q : quads) {
        pixels.push_back(RGB(q.rgbRed, q.rgbGreen, q.rgbBlue));
    }
    return pixels;
}

std::vector<COLORREF> PicturePixels(HWND picture, int width, int height) {
    return PicturePixels(
        reinterpret_cast<HBITMAP>(SendMessageA(picture, STM_GETIMAGE, IMAGE_BITMAP, 0)), width,
        height);
}

} // namespace qv::testing
