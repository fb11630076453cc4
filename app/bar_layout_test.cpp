#include "app/bar_layout.h"

#include <gtest/gtest.h>

namespace {

TEST(BarLayout, HomeFollowsTheScreenWidth) {
    EXPECT_EQ(qv::BarHomeRect(1024), (qv::PixelRect{674, 0, 236, 18}));
    EXPECT_EQ(qv::BarHomeRect(1920), (qv::PixelRect{1570, 0, 236, 18}));
    // A screen narrower than the offset still gets a bar, partly off the left edge.
    EXPECT_EQ(qv::BarHomeRect(300).x, -50);
}

TEST(BarLayout, HoverImagesStayInsideTheBar) {
    for (const auto& placement : qv::kBarControlPlacements) {
        EXPECT_GE(placement.rect.x, 0) << placement.controlId;
        EXPECT_LE(placement.rect.x + placement.rect.width, qv::kBarWidth) << placement.controlId;
        EXPECT_EQ(placement.rect.height, qv::kBarHeight) << placement.controlId;
    }
}

} // namespace
