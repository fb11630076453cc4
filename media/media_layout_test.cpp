#include "media/media_layout.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

namespace {

using namespace qv;

TEST(PageBrowserLayout, StretchesTheSkinAndControlOverA2000PixelWindow) {
    std::map<int, PixelRect> rects;
    for (const ControlPlacement& placement : PageBrowserLayout(2000, 900)) {
        rects[placement.controlId] = placement.rect;
    }
    ASSERT_EQ(rects.size(), 11u);
    EXPECT_EQ(rects[IDC_BROWSER_CONTROL], (PixelRect{12, 47, 1971, 842}));
    EXPECT_EQ(rects[IDC_BROWSER_TOP_EDGE], (PixelRect{0, 0, 2000, 53}));
    EXPECT_EQ(rects[IDC_BROWSER_RIGHT_EDGE], (PixelRect{1975, 0, 25, 900}));
    EXPECT_EQ(rects[IDC_BROWSER_BOTTOM_EDGE], (PixelRect{0, 882, 2000, 18}));
    EXPECT_EQ(rects[IDC_BROWSER_LEFT_EDGE], (PixelRect{0, 0, 25, 900}));
    EXPECT_EQ(rects[IDC_BROWSER_BOTTOM_LEFT], (PixelRect{0, 882, 25, 18}));
    EXPECT_EQ(rects[IDC_BROWSER_BOTTOM_RIGHT], (PixelRect{1975, 882, 25, 18}));
    EXPECT_EQ(rects[IDC_BROWSER_TOP_RIGHT], (PixelRect{1975, 0, 25, 53}));
    EXPECT_EQ(rects[IDC_BROWSER_TOP_LEFT], (PixelRect{0, 0, 79, 53}));
    EXPECT_EQ(rects[IDC_BROWSER_BACK_HOVER], (PixelRect{7, 11, 30, 27}));
    EXPECT_EQ(rects[IDC_BROWSER_FORWARD_HOVER], (PixelRect{37, 11, 29, 27}));
}

// At 200 % the pieces are twice as thick and the hover images twice as large; the window's own
// size stays the screen's share.
TEST(PageBrowserLayout, PiecesTakeTheDisplayScale) {
    std::map<int, PixelRect> rects;
    for (const ControlPlacement& placement : PageBrowserLayout(2000, 900, 192)) {
        rects[placement.controlId] = placement.rect;
    }
    EXPECT_EQ(rects[IDC_BROWSER_CONTROL], (PixelRect{24, 94, 1942, 784}));
    EXPECT_EQ(rects[IDC_BROWSER_TOP_EDGE], (PixelRect{0, 0, 2000, 106}));
    EXPECT_EQ(rects[IDC_BROWSER_BOTTOM_RIGHT], (PixelRect{1950, 864, 50, 36}));
    EXPECT_EQ(rects[IDC_BROWSER_BACK_HOVER], (PixelRect{14, 22, 60, 54}));
    // 125 %: the forward image's edges 46.25 and 82.5 round to 46 and 83.
    EXPECT_EQ(PageBrowserLayout(2000, 900, 120)[9].rect, (PixelRect{46, 14, 37, 34}));
}

// Every zone covers the scaled pixels of its 100 % ones, here at 150 %.
TEST(PanelZones, EdgesScaleWithTheDisplay) {
    const int w = 2000;
    EXPECT_EQ(HitPageBrowser(15, 21, w, 144), PageBrowserZone::Back); // 10, 14
    EXPECT_EQ(HitPageBrowser(14, 21, w, 144), PageBrowserZone::None);
    EXPECT_EQ(HitPageBrowser(91, 53, w, 144), PageBrowserZone::Forward); // 60, 35: up to 91.5, 54
    EXPECT_EQ(HitPageBrowser(91, 54, w, 144), PageBrowserZone::None);
    EXPECT_EQ(HitPageBrowser(w - 23, 2, w, 144), PageBrowserZone::Close); // 15 columns: 22.5
    EXPECT_EQ(HitPageBrowser(w - 24, 2, w, 144), PageBrowserZone::None);
    EXPECT_EQ(HitPlaylistPanel(237, 242, 144), PlaylistZone::SearchButton); // 158, 161
    EXPECT_EQ(HitPlaylistPanel(236, 242, 144), PlaylistZone::None);
    EXPECT_EQ(HitPlaylistPanel(58, 263, 144), PlaylistZone::NextPage); // 38, 175: up to 58, 263
    EXPECT_EQ(HitPlaylistPanel(59, 263, 144), PlaylistZone::None);
}

TEST(PageBrowserZones, BackForwardAndCloseWithTheirEdges) {
    const int w = 2000;
    EXPECT_EQ(HitPageBrowser(10, 14, w), PageBrowserZone::Back);
    EXPECT_EQ(HitPageBrowser(32, 35, w), PageBrowserZone::Back);
    EXPECT_EQ(HitPageBrowser(38, 20, w), PageBrowserZone::Forward);
    EXPECT_EQ(HitPageBrowser(60, 20, w), PageBrowserZone::Forward);
    for (int x = 33; x <= 37; ++x) {
        EXPECT_EQ(HitPageBrowser(x, 20, w), PageBrowserZone::None) << x;
    }
    EXPECT_EQ(HitPageBrowser(20, 13, w), PageBrowserZone::None);
    EXPECT_EQ(HitPageBrowser(20, 36, w), PageBrowserZone::None);
    EXPECT_EQ(HitPageBrowser(50, 13, w), PageBrowserZone::None);
    EXPECT_EQ(HitPageBrowser(50, 36, w), PageBrowserZone::None);
    EXPECT_EQ(HitPageBrowser(9, 20, w), PageBrowserZone::None);
    EXPECT_EQ(HitPageBrowser(61, 20, w), PageBrowserZone::None);

    EXPECT_EQ(HitPageBrowser(w - 15, 1, w), PageBrowserZone::Close);
    EXPECT_EQ(HitPageBrowser(w - 1, 14, w), PageBrowserZone::Close);
    EXPECT_EQ(HitPageBrowser(w - 16, 5, w), PageBrowserZone::None);
    EXPECT_EQ(HitPageBrowser(w, 5, w), PageBrowserZone::None);
    EXPECT_EQ(HitPageBrowser(w - 5, 0, w), PageBrowserZone::None);
    EXPECT_EQ(HitPageBrowser(w - 5, 15, w), PageBrowserZone::None);
}

TEST(PlaylistZones, SearchButtonAndNextPage) {
    EXPECT_EQ(HitPlaylistPanel(158, 161), PlaylistZone::SearchButton);
    EXPECT_EQ(HitPlaylistPanel(175, 178), PlaylistZone::SearchButton);
    EXPECT_EQ(HitPlaylistPanel(157, 170), PlaylistZone::None);
    EXPECT_EQ(HitPlaylistPanel(170, 160), PlaylistZone::None);
    EXPECT_EQ(HitPlaylistPanel(170, 179), PlaylistZone::None);
    EXPECT_EQ(HitPlaylistPanel(12, 161), PlaylistZone::NextPage);
    EXPECT_EQ(HitPlaylistPanel(38, 175), PlaylistZone::NextPage);
    EXPECT_EQ(HitPlaylistPanel(20, 176), PlaylistZone::None);
    EXPECT_EQ(HitPlaylistPanel(39, 170), PlaylistZone::None);
}

TEST(PlayerPlacement, HangsUnderTheBarAtTheRightOfTheScreen) {
    EXPECT_EQ(PlayerFrameRect(1280), (PixelRect{930, 18, 341, 311}));
    EXPECT_EQ(PlayerBrowserRect(1280), (PixelRect{937, 40, 320, 269}));
}

TEST(TitleStrip, ShowsAtMostAHundredCharacters) {
    const std::string address = "http://" + std::string(150, 'a');
    EXPECT_EQ(TitleStripText(address), address.substr(0, 100));
    EXPECT_EQ(TitleStripText("about:blank"), "about:blank");
}

} // namespace
