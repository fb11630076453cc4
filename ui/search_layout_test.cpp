#include "ui/search_layout.h"

#include <gtest/gtest.h>

namespace {

using qv::HitSearchBoxZone;
using Zone = qv::SearchBoxZone;

// At 200 % each zone covers the two scaled pixels of each of its pixels.
TEST(SearchBoxZones, EdgesScaleWithTheDisplay) {
    EXPECT_EQ(HitSearchBoxZone(664, 46, 192), Zone::Magnifier);
    EXPECT_EQ(HitSearchBoxZone(709, 87, 192), Zone::Magnifier);
    EXPECT_EQ(HitSearchBoxZone(663, 46, 192), Zone::None);
    EXPECT_EQ(HitSearchBoxZone(709, 88, 192), Zone::None);
    EXPECT_EQ(HitSearchBoxZone(710, 45, 192), Zone::CloseMark);
    EXPECT_EQ(HitSearchBoxZone(745, 10, 192), Zone::CloseMark);
    EXPECT_EQ(HitSearchBoxZone(746, 10, 192), Zone::None);
    EXPECT_EQ(HitSearchBoxZone(720, 9, 192), Zone::None);
}

TEST(SearchBoxZones, MagnifierHoldsItsFourCornersAndNothingBeyond) {
    for (const auto& [x, y] : {std::pair{332, 23}, {354, 23}, {332, 43}, {354, 43}, {343, 33}}) {
        EXPECT_EQ(HitSearchBoxZone(x, y), Zone::Magnifier) << x << "," << y;
    }
    for (const auto& [x, y] : {std::pair{331, 30}, {340, 22}, {340, 44}, {331, 23}, {332, 44}}) {
        EXPECT_EQ(HitSearchBoxZone(x, y), Zone::None) << x << "," << y;
    }
}

TEST(SearchBoxZones, CloseMarkHoldsItsFourCornersAndNothingBeyond) {
    for (const auto& [x, y] : {std::pair{355, 5}, {372, 5}, {355, 22}, {372, 22}, {363, 13}}) {
        EXPECT_EQ(HitSearchBoxZone(x, y), Zone::CloseMark) << x << "," << y;
    }
    for (const auto& [x, y] : {std::pair{373, 10}, {360, 4}, {372, 4}, {373, 22}, {360, 23}}) {
        EXPECT_EQ(HitSearchBoxZone(x, y), Zone::None) << x << "," << y;
    }
}

TEST(SearchBoxZones, TheSeamBetweenThemAndTheField) {
    EXPECT_EQ(HitSearchBoxZone(354, 23), Zone::Magnifier);
    EXPECT_EQ(HitSearchBoxZone(355, 23), Zone::None); // below the close mark, right of the lens
    EXPECT_EQ(HitSearchBoxZone(355, 22), Zone::CloseMark);
    EXPECT_EQ(HitSearchBoxZone(354, 22), Zone::None);
    EXPECT_EQ(HitSearchBoxZone(100, 30), Zone::None); // the text field
    EXPECT_EQ(HitSearchBoxZone(0, 0), Zone::None);
    EXPECT_EQ(HitSearchBoxZone(-1, -1), Zone::None);
}

} // namespace
