#include "app/bar_layout.h"

#include <gtest/gtest.h>

#include <vector>

#include "media/media_layout.h"
#include "monitor/balloon_layout.h"
#include "news/news_layout.h"

namespace {

TEST(BarLayout, HomeFollowsTheScreenWidth) {
    EXPECT_EQ(qv::BarHomeRect(1024), (qv::PixelRect{674, 0, 236, 18}));
    EXPECT_EQ(qv::BarHomeRect(1920), (qv::PixelRect{1570, 0, 236, 18}));
    // A screen narrower than the offset still gets a bar, partly off the left edge.
    EXPECT_EQ(qv::BarHomeRect(300).x, -50);
}

// What a screen change moves: every place taken from the width W, on a laptop's, a desktop's and
// a large screen.
TEST(BarLayout, EveryPlaceFromTheScreenWidthFollowsIt) {
    using qv::InfoSection;
    using qv::PixelRect;
    for (const int w : {1280, 1920, 3840}) {
        EXPECT_EQ(qv::BarHomeRect(w), (PixelRect{w - 350, 0, 236, 18})) << w;
        EXPECT_EQ(qv::NewsPanelX(qv::BarHomeRect(w).x), w - 350 - 258) << w;
        EXPECT_EQ(qv::BalloonRect(InfoSection::Media, w, true), (PixelRect{w - 359, 18, 245, 130}));
        EXPECT_EQ(qv::BalloonRect(InfoSection::Media, w, false), (PixelRect{w - 359, 18, 245, 60}));
        EXPECT_EQ(qv::BalloonRect(InfoSection::Processor, w, false),
                  (PixelRect{w - 320, 18, 245, 159}));
        EXPECT_EQ(qv::BalloonRect(InfoSection::Memory, w, false),
                  (PixelRect{w - 289, 18, 245, 160}));
        EXPECT_EQ(qv::BalloonRect(InfoSection::Network, w, false),
                  (PixelRect{w - 250, 18, 245, 220}));
        EXPECT_EQ(qv::PlayerFrameRect(w), (PixelRect{w - 350, 18, 341, 311})) << w;
        EXPECT_EQ(qv::PlayerBrowserRect(w), (PixelRect{w - 343, 40, 320, 269})) << w;
    }
}

// At 125 % and 150 % every length from the screen's right edge and every size scales with the
// display, rounded to the nearest pixel: 350 * 1.25 = 437.5 -> 438, 263 * 1.5 = 394.5 -> 395.
TEST(BarLayout, PlacesFromTheScreenWidthScaleWithTheDisplay) {
    using qv::InfoSection;
    using qv::PixelRect;
    const int w = 1920;
    EXPECT_EQ(qv::BarHomeRect(w, 120), (PixelRect{w - 438, 0, 295, 23}));
    EXPECT_EQ(qv::BarHomeRect(w, 144), (PixelRect{w - 525, 0, 354, 27}));
    EXPECT_EQ(qv::NewsPanelX(1000, 144), 1000 - 395 + 8);
    EXPECT_EQ(qv::BalloonRect(InfoSection::Media, w, true, 120),
              (PixelRect{w - 449, 23, 306, 163}));
    EXPECT_EQ(qv::BalloonRect(InfoSection::Network, w, false, 144),
              (PixelRect{w - 375, 27, 368, 330}));
    EXPECT_EQ(qv::PlayerFrameRect(w, 120), (PixelRect{w - 438, 23, 426, 389}));
    EXPECT_EQ(qv::PlayerBrowserRect(w, 192), (PixelRect{w - 686, 80, 640, 538}));
}

TEST(BarLayout, HoverImagesCoverTheirIcons) {
    const std::vector<qv::ControlPlacement> expected{
        {1009, {0, 0, 16, 18}},   {1010, {16, 0, 14, 18}}, {1014, {16, 0, 14, 18}},
        {1013, {16, 0, 14, 18}},  {1011, {30, 0, 19, 18}}, {1012, {199, 0, 19, 18}},
        {1015, {218, 0, 17, 18}},
    };
    ASSERT_EQ(qv::kBarControlPlacements.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(qv::kBarControlPlacements[i].controlId, expected[i].controlId) << i;
        EXPECT_EQ(qv::kBarControlPlacements[i].rect, expected[i].rect) << i;
    }
}

} // namespace
