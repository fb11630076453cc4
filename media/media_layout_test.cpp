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
