#include "app/bar_zones.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using namespace qv;

// The zones met moving along a row, each listed once per run of equal zones.
std::vector<HoverZone> HoverRunsAlongRow(int y, int dpi = 96) {
    std::vector<HoverZone> runs;
    for (int x = -5; x < 480; ++x) {
        const HoverZone zone = HitHoverZone(x, y, dpi);
        if (runs.empty() || runs.back() != zone) {
            runs.push_back(zone);
        }
    }
    return runs;
}

TEST(HoverZones, MovingAlongTheBarMeetsEachItemWithGapsBetween) {
    using enum HoverZone;
    const std::vector<HoverZone> expected{
        None, NewsIcon,      None, PlayButton,      None, PlayerIcon,
        None, CpuCell,       None, MemoryCell,      None, NetworkCell,
        None, WebSearchIcon, None, VideoSearchIcon, None,
    };
    EXPECT_EQ(HoverRunsAlongRow(8), expected);
    for (int dpi : {120, 144, 168, 192}) {
        EXPECT_EQ(HoverRunsAlongRow(8 * dpi / 96, dpi), expected) << dpi;
    }
}

// Each zone covers the scaled pixels of its 100 % pixels, first and last included.
TEST(HoverZones, EdgesScaleWithTheDisplay) {
    EXPECT_EQ(HitHoverZone(2, 6, 192), HoverZone::NewsIcon);
    EXPECT_EQ(HitHoverZone(21, 25, 192), HoverZone::NewsIcon);
    EXPECT_EQ(HitHoverZone(1, 8, 192), HoverZone::None);
    EXPECT_EQ(HitHoverZone(22, 8, 192), HoverZone::None);
    EXPECT_EQ(HitHoverZone(10, 5, 192), HoverZone::None);
    EXPECT_EQ(HitHoverZone(10, 26, 192), HoverZone::None);
    // 53..73 at 125 %: 66.25 and 92.5 round to 66 and 93.
    EXPECT_EQ(HitHoverZone(65, 10, 120), HoverZone::None);
    EXPECT_EQ(HitHoverZone(66, 10, 120), HoverZone::CpuCell);
    EXPECT_EQ(HitHoverZone(92, 10, 120), HoverZone::CpuCell);
    EXPECT_EQ(HitHoverZone(93, 10, 120), HoverZone::None);
    // 121..159 at 150 %: 181.5 rounds up, 160 gives 240.
    EXPECT_EQ(HitHoverZone(181, 10, 144), HoverZone::None);
    EXPECT_EQ(HitHoverZone(182, 10, 144), HoverZone::NetworkCell);
    EXPECT_EQ(HitHoverZone(239, 10, 144), HoverZone::NetworkCell);
    EXPECT_EQ(HitHoverZone(240, 10, 144), HoverZone::None);
}

TEST(HoverZones, EdgesAreInclusive) {
    EXPECT_EQ(HitHoverZone(1, 3), HoverZone::NewsIcon);
    EXPECT_EQ(HitHoverZone(10, 12), HoverZone::NewsIcon);
    EXPECT_EQ(HitHoverZone(11, 8), HoverZone::None);
    EXPECT_EQ(HitHoverZone(15, 8), HoverZone::None);
    EXPECT_EQ(HitHoverZone(16, 8), HoverZone::PlayButton);
    EXPECT_EQ(HitHoverZone(53, 8), HoverZone::CpuCell);
    EXPECT_EQ(HitHoverZone(73, 8), HoverZone::CpuCell);
    EXPECT_EQ(HitHoverZone(74, 8), HoverZone::None);
    EXPECT_EQ(HitHoverZone(80, 8), HoverZone::MemoryCell);
    EXPECT_EQ(HitHoverZone(113, 8), HoverZone::MemoryCell);
    EXPECT_EQ(HitHoverZone(121, 8), HoverZone::NetworkCell);
    EXPECT_EQ(HitHoverZone(159, 8), HoverZone::NetworkCell);
    EXPECT_EQ(HitHoverZone(160, 8), HoverZone::None);
    EXPECT_EQ(HitHoverZone(232, 12), HoverZone::VideoSearchIcon);
}

TEST(HoverZones, RowsAboveAndBelowTheIconsAreOutside) {
    for (int x : {5, 20, 40, 60, 100, 140, 210, 225}) {
        EXPECT_EQ(HitHoverZone(x, 2), HoverZone::None) << x;
        EXPECT_EQ(HitHoverZone(x, 13), HoverZone::None) << x;
        EXPECT_EQ(HitHoverZone(x, -1), HoverZone::None) << x;
        EXPECT_EQ(HitHoverZone(x, 40000), HoverZone::None) << x;
    }
}

TEST(ClickZones, ValueCellStripCoversTheGapsBetweenCells) {
    for (int x = 48; x <= 200; ++x) {
        EXPECT_EQ(HitClickZone(x, 1), ClickZone::ValueCells) << x;
        EXPECT_EQ(HitClickZone(x, 17), ClickZone::ValueCells) << x;
    }
    EXPECT_EQ(HitClickZone(47, 8), ClickZone::None);
    EXPECT_EQ(HitClickZone(201, 8), ClickZone::None);
    EXPECT_EQ(HitClickZone(100, 0), ClickZone::None);
    EXPECT_EQ(HitClickZone(100, 18), ClickZone::None);
}

TEST(ClickZones, IconsAndTheirRows) {
    EXPECT_EQ(HitClickZone(1, 1), ClickZone::NewsIcon);
    EXPECT_EQ(HitClickZone(10, 17), ClickZone::NewsIcon);
    EXPECT_EQ(HitClickZone(217, 17), ClickZone::WebSearchIcon); // wider than its hover zone
    EXPECT_EQ(HitClickZone(218, 8), ClickZone::None);
    EXPECT_EQ(HitClickZone(220, 3), ClickZone::VideoSearchIcon);
    EXPECT_EQ(HitClickZone(233, 12), ClickZone::VideoSearchIcon);
    EXPECT_EQ(HitClickZone(225, 13), ClickZone::None); // its rows are those of the hover zone
    EXPECT_EQ(HitClickZone(16, 1), ClickZone::PlayButton);
    EXPECT_EQ(HitClickZone(28, 17), ClickZone::PlayButton);
    EXPECT_EQ(HitClickZone(35, 3), ClickZone::PlayerIcon);
    EXPECT_EQ(HitClickZone(44, 13), ClickZone::None);
    EXPECT_EQ(HitClickZone(14, 8), ClickZone::None);
}

TEST(ClickZones, EdgesScaleWithTheDisplay) {
    EXPECT_EQ(HitClickZone(96, 2, 192), ClickZone::ValueCells);
    EXPECT_EQ(HitClickZone(401, 35, 192), ClickZone::ValueCells);
    EXPECT_EQ(HitClickZone(95, 10, 192), ClickZone::None);
    EXPECT_EQ(HitClickZone(402, 10, 192), ClickZone::None);
    EXPECT_EQ(HitClickZone(200, 1, 192), ClickZone::None);
    EXPECT_EQ(HitClickZone(410, 35, 192), ClickZone::WebSearchIcon);
}

} // namespace
