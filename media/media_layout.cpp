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

std::array<ControlPlacement, 11> PageBrowserLayout(int w, int h) {
    return {{
        {IDC_BROWSER_TOP_EDGE, {0, 0, w, 53}},
        {IDC_BROWSER_RIGHT_EDGE, {w - 25, 0, 25, h}},
        {IDC_BROWSER_BOTTOM_EDGE, {0, h - 18, w, 18}},
        {IDC_BROWSER_LEFT_EDGE, {0, 0, 25, h}},
        {IDC_BROWSER_BOTTOM_LEFT, {0, h - 18, 25, 18}},
        {IDC_BROWSER_BOTTOM_RIGHT, {w - 25, h - 18, 25, 18}},
        {IDC_BROWSER_TOP_RIGHT, {w - 25, 0, 25, 53}},
        {IDC_BROWSER_TOP_LEFT, {0, 0, 79, 53}},
        {IDC_BROWSER_BACK_HOVER, {7, 11, 30, 27}},
        {IDC_BROWSER_FORWARD_HOVER, {37, 11, 29, 27}},
        {IDC_BROWSER_CONTROL, {12, 47, w - 29, h - 58}},
    }};
}

PageBrowserZone HitPageBrowser(int x, int y, int width) {
    const bool buttonRow = y > 13 && y < 36;
    if (buttonRow && x >= 10 && x <= 32) {
        return PageBrowserZone::Back;
    }
    if (buttonRow && x >= 38 && x <= 60) {
        return PageBrowserZone::Forward;
    }
    if (y >= 1 && y <= 14 && x > width - 16 && x < width) {
        return PageBrowserZone::Close;
    }
    return PageBrowserZone::None;
}

std::string_view TitleStripText(std::string_view address) {
    return address.substr(0, 100);
}

} // namespace qv
