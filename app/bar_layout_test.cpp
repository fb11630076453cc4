#include "app/bar_layout.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

TEST(BarLayout, HomeFollowsTheScreenWidth) {
    EXPECT_EQ(qv::BarHomeRect(1024), (qv::PixelRect{674, 0, 236, 18}));
    EXPECT_EQ(qv::BarHomeRect(1920), (qv::PixelRect{1570, 0, 236, 18}));
    // A screen narrower than the offset still gets a bar, partly off the left edge.
    EXPECT_EQ(qv::BarHomeRect(300).x, -50);
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
