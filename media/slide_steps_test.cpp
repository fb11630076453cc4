#include "media/slide_steps.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using namespace qv;

template <typename Step> std::vector<SlideStep> RunSlide(Step step, int y, int alpha) {
    std::vector<SlideStep> ticks;
    for (int guard = 0; guard < 100; ++guard) {
        ticks.push_back(step(y, alpha));
        if (ticks.back().settled) {
            break;
        }
        y = ticks.back().y;
        alpha = ticks.back().alpha;
    }
    return ticks;
}

TEST(PlaylistSlide, OpensInSevenStepsPastFortyFiveThenSettlesAtEighteen) {
    const std::vector<SlideStep> expected{{-165, 35, false}, {-130, 70, false}, {-95, 105, false},
                                          {-60, 140, false}, {-25, 175, false}, {10, 210, false},
                                          {45, 245, false},  {18, 245, true}};
    EXPECT_EQ(RunSlide(PlaylistSlideInStep, -200, 0), expected);
}

TEST(PlaylistSlide, ClosesFromOneHundredDownToSixtyFiveThenUp) {
    std::vector<int> tops;
    const auto ticks = RunSlide(PlaylistSlideOutStep, 100, 245);
    for (const SlideStep& tick : ticks) {
        tops.push_back(tick.y);
    }
    EXPECT_EQ(tops, (std::vector<int>{65, 30, -5, -40, -75, -110, -145, -180, -215, -200}));
    EXPECT_EQ(ticks[0].alpha, 195);
    EXPECT_EQ(ticks[4].alpha, 0); // never below zero
    EXPECT_TRUE(ticks.back().settled);
}

TEST(PlaylistSlide, ATickOnASettledPanelOnlySnaps) {
    EXPECT_EQ(PlaylistSlideInStep(18, 245), (SlideStep{18, 245, true}));
    EXPECT_EQ(PlaylistSlideOutStep(-200, 0), (SlideStep{-200, 0, true}));
}

} // namespace
