#include "media/media_layout.h"

namespace qv {

PlaylistZone HitPlaylistPanel(int x, int y, int dpi) {
    if (ZoneHolds(x, y, 158, 175, 161, 178, dpi)) {
        return PlaylistZone::SearchButton;
    }
    if (ZoneHolds(x, y, 12, 38, 161, 175, dpi)) {
        return PlaylistZone::NextPage;
    }
    return PlaylistZone::None;
}

PixelRect PlayerFrameRect(int screenWidth, int dpi) {
    return {screenWidth - ScaleLength(350, dpi), ScaleLength(18, dpi), ScaleLength(341, dpi),
            ScaleLength(311, dpi)};
}

PixelRect PlayerBrowserRect(int screenWidth, int dpi) {
    return {screenWidth - ScaleLength(343, dpi), ScaleLength(40, dpi), ScaleLength(320, dpi),
            ScaleLength(269, dpi)};
}

// The window's own width and height are the screen's share; every other length is at the
// display's scale.
std::array<ControlPlacement, 11> PageBrowserLayout(int w, int h, int dpi) {
    const auto s = [dpi](int length) { return ScaleLength(length, dpi); };
    return {{
        {IDC_BROWSER_TOP_EDGE, {0, 0, w, s(53)}},
        {IDC_BROWSER_RIGHT_EDGE, {w - s(25), 0, s(25), h}},
        {IDC_BROWSER_BOTTOM_EDGE, {0, h - s(18), w, s(18)}},
        {IDC_BROWSER_LEFT_EDGE, {0, 0, s(25), h}},
        {IDC_BROWSER_BOTTOM_LEFT, {0, h - s(18), s(25), s(18)}},
        {IDC_BROWSER_BOTTOM_RIGHT, {w - s(25), h - s(18), s(25), s(18)}},
        {IDC_BROWSER_TOP_RIGHT, {w - s(25), 0, s(25), s(53)}},
        {IDC_BROWSER_TOP_LEFT, {0, 0, s(79), s(53)}},
        {IDC_BROWSER_BACK_HOVER, ScaleRect({7, 11, 30, 27}, dpi)},
        {IDC_BROWSER_FORWARD_HOVER, ScaleRect({37, 11, 29, 27}, dpi)},
        {IDC_BROWSER_CONTROL, {s(12), s(47), w - s(29), h - s(58)}},
    }};
}

PageBrowserZone HitPageBrowser(int x, int y, int width, int dpi) {
    if (ZoneHolds(x, y, 10, 32, 14, 35, dpi)) {
        return PageBrowserZone::Back;
    }
    if (ZoneHolds(x, y, 38, 60, 14, 35, dpi)) {
        return PageBrowserZone::Forward;
    }
    // The close mark: the 15 columns at the right edge, rows 1 to 14.
    const PixelSpan rows = ScaleSpan(1, 14, dpi);
    if (y >= rows.first && y <= rows.last && x >= width - ScaleLength(15, dpi) && x < width) {
        return PageBrowserZone::Close;
    }
    return PageBrowserZone::None;
}

std::string_view TitleStripText(std::string_view address) {
    return address.substr(0, 100);
}

} // namespace qv
