#pragma once

#include <windows.h>

#include <string_view>
#include <vector>

namespace qv::testing {

// How a reference text is drawn: its font, its colour, and either a box of a colour behind it
// (opaque) or the background showing through.
struct TextLook {
    HFONT font;
    COLORREF colour;
    bool opaque = false;
    COLORREF box = 0;
    int rows = 0; // the rows of the box compared from its top; 0 for all
};

// How many pixels of the box that text covers at (x, y) differ between actual and the same text
// drawn there, in that look, over a copy of background. 0 means the text stands there as drawn.
// Rows of text closer than the font's height overlap: compare only the rows a row owns.
int TextPixelsDiffer(HDC actual, HDC background, int x, int y, std::string_view text,
                     const TextLook& look);
// The same for a text in any script.
int TextPixelsDiffer(HDC actual, HDC background, int x, int y, std::wstring_view text,
                     const TextLook& look);

// Whether any pixel of the rectangle differs between the two DCs.
bool AreaDiffers(HDC one, HDC other, const RECT& area);

// The pixels of a bitmap, row by row from the top, as colours.
std::vector<COLORREF> PicturePixels(HBITMAP image, int width, int height);
// The same for the image a picture control shows.
std::vector<COLORREF> PicturePixels(HWND picture, int width, int height);

// What a window answers to WM_ERASEBKGND on a canvas of red the size of its client area, and
// whether every pixel of the canvas is still red after it.
struct EraseOutcome {
    LRESULT answer;
    bool canvasUntouched;
};
EraseOutcome EraseOnRed(HWND window);

} // namespace qv::testing
