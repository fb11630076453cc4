#include "framework/display_scale.h"

#include <gtest/gtest.h>

namespace {

using namespace qv;

TEST(DisplayScale, LengthsAtEachScaleRoundHalvesAwayFromZero) {
    // The bar's 236 x 18 at 100, 125, 150, 175 and 200 %.
    EXPECT_EQ(ScaleLength(236, 96), 236);
    EXPECT_EQ(ScaleLength(236, 120), 295);
    EXPECT_EQ(ScaleLength(18, 120), 23); // 22.5
    EXPECT_EQ(ScaleLength(18, 144), 27);
    EXPECT_EQ(ScaleLength(18, 168), 32); // 31.5
    EXPECT_EQ(ScaleLength(236, 192), 472);
    EXPECT_EQ(ScaleLength(14, 120), 18); // 17.5
    // Parked panels and upward slide steps are negative: -612.5 and -43.75.
    EXPECT_EQ(ScaleLength(-490, 120), -613);
    EXPECT_EQ(ScaleLength(-35, 120), -44);
    EXPECT_EQ(ScaleLength(-200, 168), -350);
    EXPECT_EQ(ScaleLength(0, 192), 0);
}

TEST(DisplayScale, RectanglesPlacedSideBySideStillTouch) {
    // The play button's images (16, 14 wide) and the player icon's after them, at 175 %.
    const PixelRect play = ScaleRect({16, 0, 14, 18}, 168);
    const PixelRect player = ScaleRect({30, 0, 19, 18}, 168);
    EXPECT_EQ(play, (PixelRect{28, 0, 25, 32}));
    EXPECT_EQ(play.x + play.width, player.x);
    EXPECT_EQ(ScaleRect({7, 6, 172, 175}, 144), (PixelRect{11, 9, 258, 263}));
    // Three one-pixel pieces at 150 %: edges 1.5, 3, 4.5, 6 give widths 1, 2, 1.
    EXPECT_EQ(ScaleRect({1, 0, 1, 1}, 144), (PixelRect{2, 0, 1, 2}));
    EXPECT_EQ(ScaleRect({2, 0, 1, 1}, 144), (PixelRect{3, 0, 2, 2}));
    EXPECT_EQ(ScaleRect({3, 0, 1, 1}, 144), (PixelRect{5, 0, 1, 2}));
}

TEST(DisplayScale, InclusiveRangesCoverTheScaledPixelsOfTheirPixels) {
    EXPECT_EQ(ScaleSpan(1, 10, 96), (PixelSpan{1, 10}));
    EXPECT_EQ(ScaleSpan(1, 10, 144), (PixelSpan{2, 16}));
    EXPECT_EQ(ScaleSpan(3, 12, 192), (PixelSpan{6, 25}));
    // Neighbouring ranges neither overlap nor leave a gap.
    EXPECT_EQ(ScaleSpan(11, 15, 120).first, ScaleSpan(1, 10, 120).last + 1);
}

TEST(DisplayScale, ProcessScaleFollowsTheDpiAndRefusesNonsense) {
    SetCurrentDpi(144);
    EXPECT_EQ(Px(18), 27);
    EXPECT_EQ(PxRect({300, -200, 190, 192}), (PixelRect{450, -300, 285, 288}));
    SetCurrentDpi(0);
    EXPECT_EQ(CurrentDpi(), 96);
    SetCurrentDpi(-144);
    EXPECT_EQ(Px(18), 18);
    SetCurrentDpi(96);
}

} // namespace
