#include "news/news_layout.h"

#include <gtest/gtest.h>

#include <vector>

#include "news/news_link.h"

namespace {

using qv::HitNewsPanel;
using qv::NewsZone;

// At 125 % the first tab's 15..50 x 265..280 covers 18.75 -> 19 up to 63.75 -> 64, less one, and
// rows 331.25 -> 331 up to 351.25 -> 351, less one.
TEST(NewsHitRegions, EdgesScaleWithTheDisplay) {
    EXPECT_EQ(HitNewsPanel(19, 331, 120), NewsZone::Tab1);
    EXPECT_EQ(HitNewsPanel(63, 350, 120), NewsZone::Tab1);
    EXPECT_EQ(HitNewsPanel(18, 340, 120), NewsZone::None);
    EXPECT_EQ(HitNewsPanel(64, 340, 120), NewsZone::None);
    EXPECT_EQ(HitNewsPanel(40, 351, 120), NewsZone::None);
    EXPECT_EQ(HitNewsPanel(496, 598, 192), NewsZone::Close);
    EXPECT_EQ(HitNewsPanel(525, 599, 192), NewsZone::Close);
    EXPECT_EQ(HitNewsPanel(495, 598, 192), NewsZone::None);
}

TEST(NewsHitRegions, EachRegionActsAtItsBoundsAndNotOnePixelOutside) {
    struct Region {
        NewsZone zone;
        int left, right, top, bottom;
    };
    const Region regions[] = {
        {NewsZone::Tab1, 15, 50, 265, 280},   {NewsZone::Tab2, 57, 92, 265, 280},
        {NewsZone::Tab3, 100, 135, 265, 280}, {NewsZone::Tab4, 143, 178, 265, 280},
        {NewsZone::Tab5, 186, 221, 265, 280}, {NewsZone::Refresh, 229, 243, 265, 280},
        {NewsZone::Close, 248, 262, 285, 299}};
    for (const Region& r : regions) {
        const int midX = (r.left + r.right) / 2, midY = (r.top + r.bottom) / 2;
        EXPECT_EQ(HitNewsPanel(r.left, r.top), r.zone);
        EXPECT_EQ(HitNewsPanel(r.right, r.bottom), r.zone);
        EXPECT_EQ(HitNewsPanel(r.left - 1, midY), NewsZone::None) << r.left;
        EXPECT_EQ(HitNewsPanel(r.right + 1, midY), NewsZone::None) << r.right;
        EXPECT_EQ(HitNewsPanel(midX, r.top - 1), NewsZone::None) << r.top;
        EXPECT_EQ(HitNewsPanel(midX, r.bottom + 1), NewsZone::None) << r.bottom;
    }
    EXPECT_EQ(qv::FeedOfZone(HitNewsPanel(15, 265)), 1);
    EXPECT_EQ(qv::FeedOfZone(HitNewsPanel(221, 280)), 5);
    EXPECT_EQ(qv::FeedOfZone(HitNewsPanel(243, 280)), 0);
    EXPECT_EQ(HitNewsPanel(247, 290), NewsZone::None);
}

std::vector<qv::NewsSlideStep> Slide(qv::NewsSlideStep (*step)(int, int), int y, int alpha) {
    std::vector<qv::NewsSlideStep> steps;
    for (int i = 0; i < 20; ++i) {
        const auto next = step(y, alpha);
        steps.push_back(next);
        if (next.settled) {
            break;
        }
        y = next.y;
        alpha = next.alpha;
    }
    return steps;
}

TEST(NewsSlide, DownFromParkedInNineMovesAndASnap) {
    const std::vector<qv::NewsSlideStep> expected{
        {-435, 30, false},  {-380, 60, false},  {-325, 90, false},  {-270, 120, false},
        {-215, 150, false}, {-160, 180, false}, {-105, 210, false}, {-50, 240, false},
        {5, 245, false},    {0, 245, true}};
    EXPECT_EQ(Slide(qv::NewsSlideInStep, -490, 0), expected);
}

TEST(NewsSlide, UpFromOpenInFourteenMovesFadingOutAfterSix) {
    const auto steps = Slide(qv::NewsSlideOutStep, 0, 245);
    ASSERT_EQ(steps.size(), 15u);
    const int alphas[] = {200, 155, 110, 65, 20, 0, 0};
    for (int i = 0; i < 14; ++i) {
        EXPECT_EQ(steps[i].y, -35 * (i + 1));
        EXPECT_EQ(steps[i].alpha, alphas[std::min(i, 6)]);
        EXPECT_FALSE(steps[i].settled);
    }
    EXPECT_EQ(steps[14], (qv::NewsSlideStep{-490, 0, true}));
    EXPECT_EQ(qv::NewsSlideOutStep(-489, 10), (qv::NewsSlideStep{-490, 10, true}));
    EXPECT_EQ(qv::NewsSlideOutStep(-488, 10), (qv::NewsSlideStep{-523, 0, false}));
}

TEST(NewsSlide, PanelHangsLeftOfTheBarOverlappingItByFive) {
    EXPECT_EQ(qv::NewsPanelX(930), 672);
}

TEST(NewsLink, OnlyHttpAndHttpsLinksOpen) {
    for (const char* link : {"http://a/", "https://a/b?c", "HTTP://A/", "hTtPs:x", "http:"}) {
        EXPECT_TRUE(qv::IsOpenableNewsLink(link)) << link;
    }
    for (const char* link :
         {"", "javascript:alert(1)", "JavaScript:alert(1)", "file:///c:/x", "vbscript:x",
          " http://a/", "\x01http://a/", "\thttp://a/", "about:blank", "ftp://a/", "http//a",
          "httpx://a", "data:text/html,x", "mailto:a@b", "https", "java\tscript:x"}) {
        EXPECT_FALSE(qv::IsOpenableNewsLink(link)) << link;
    }
}

} // namespace
