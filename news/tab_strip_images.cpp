#include "news/tab_strip_images.h"

#include "news/news_layout.h"
#include "res/resource.h"

namespace qv {

namespace {

constexpr COLORREF kTabTitleColour = RGB(100, 100, 100);

UniqueBitmap LoadSkin(int id) {
    return UniqueBitmap(static_cast<HBITMAP>(LoadImageA(
        GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
}

// Draws text at (x, y) of the bitmap, clipped to the tab it belongs to.
void DrawTitle(HDC dc, const std::wstring& title, int x, int y, const RECT& tab) {
    ExtTextOutW(dc, x, y, ETO_CLIPPED, &tab, title.data(), UINT(title.size()), nullptr);
}

// Puts the image in the picture; the one it held before is ours (already owned) or the one
// loaded from the template, which nobody else frees.
void SetPicture(const Window& picture, UniqueBitmap& owned, UniqueBitmap image) {
    const auto previous = reinterpret_cast<HBITMAP>(SendMessageA(
        picture.hwnd(), STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(image.get())));
    if (previous && previous != owned.get() && previous != image.get()) {
        DeleteObject(previous);
    }
    owned = std::move(image);
}

} // namespace

void TabStripImages::Apply(const Window& strip, const Window& marker,
                           const std::array<std::wstring, 5>& titles, int selected) {
    UniqueBitmap stripImage = LoadSkin(IDB_NEWS_TABS);
    UniqueBitmap markerImage = LoadSkin(IDB_NEWS_TAB_MARKER);
    if (!stripImage || !markerImage) {
        return;
    }
    const UniqueFont font = CreateFaceFont("Segoe UI", 12, FW_NORMAL);
    const UniqueMemoryDC dc(CreateCompatibleDC(nullptr));
    SetBkMode(dc.get(), TRANSPARENT);
    SetTextColor(dc.get(), kTabTitleColour);
    const SelectGuard selectedFont(dc.get(), font.get());
    {
        const SelectGuard target(dc.get(), stripImage.get());
        for (int n = 1; n <= kNewsFeedCount; ++n) {
            const PixelRect tab = NewsTabMarkerRect(n);
            const int top = tab.y - kNewsTabStripRect.y;
            const RECT clip{tab.x, top, tab.x + tab.width, top + tab.height};
            DrawTitle(dc.get(), titles[n - 1], kNewsTabTitleX[n - 1],
                      kNewsTabTitleY - kNewsTabStripRect.y, clip);
        }
    }
    {
        const SelectGuard target(dc.get(), markerImage.get());
        const PixelRect tab = NewsTabMarkerRect(selected);
        const RECT clip{0, 0, tab.width, tab.height};
        DrawTitle(dc.get(), titles[selected - 1], kNewsTabTitleX[selected - 1] - tab.x,
                  kNewsTabTitleY - tab.y, clip);
    }
    titles_ = titles;
    SetPicture(strip, strip_, std::move(stripImage));
    SetPicture(marker, marker_, std::move(markerImage));
}

} // namespace qv
