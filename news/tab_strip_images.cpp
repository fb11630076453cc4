#include "news/tab_strip_images.h"

#include "framework/display_scale.h"
#include "framework/skin_image.h"
#include "news/news_layout.h"
#include "res/resource.h"

namespace qv {

namespace {

constexpr COLORREF kTabTitleColour = RGB(100, 100, 100);

// The picture at the display's scale, the size of a 100 % one of width x height.
UniqueBitmap LoadSkin(int id, int width, int height) {
    return LoadSkinBitmap(id, CurrentDpi(), Px(width), Px(height));
}

// Draws text at (x, y) of the bitmap, clipped to the tab it belongs to; both in 100 % pixels.
void DrawTitle(HDC dc, const std::wstring& title, int x, int y, const RECT& unscaled) {
    const RECT tab{Px(unscaled.left), Px(unscaled.top), Px(unscaled.right), Px(unscaled.bottom)};
    ExtTextOutW(dc, Px(x), Px(y), ETO_CLIPPED, &tab, title.data(), UINT(title.size()), nullptr);
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
    UniqueBitmap stripImage =
        LoadSkin(IDB_NEWS_TABS, kNewsTabStripRect.width, kNewsTabStripRect.height);
    UniqueBitmap markerImage =
        LoadSkin(IDB_NEWS_TAB_MARKER, kNewsTabMarkerWidth, kNewsTabMarkerHeight);
    if (!stripImage || !markerImage) {
        return;
    }
    const UniqueFont font = CreateFaceFont("Segoe UI", Px(12), FW_NORMAL);
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
