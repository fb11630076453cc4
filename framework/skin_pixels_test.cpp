#include "framework/skin_pixels.h"

#include <gtest/gtest.h>

#include <set>

namespace {

using namespace qv;

constexpr uint32_t kKey = 0x00FF00;

// A 3 x 2 picture: key, art, key / art, key, art.
SkinPixels Checker() {
    return {3, 2, {kKey, 0x102030, kKey, 0xA0B0C0, kKey, 0xA0B0C0}};
}

TEST(SkinPixels, DoubleSizeRepeatsEachPixelTwiceEachWay) {
    const SkinPixels doubled = ResampleSkinPixels(Checker(), 6, 4);
    ASSERT_EQ(doubled.pixels.size(), 24u);
    const std::vector<uint32_t> firstRow{kKey, kKey, 0x102030, 0x102030, kKey, kKey};
    EXPECT_EQ(std::vector<uint32_t>(doubled.pixels.begin(), doubled.pixels.begin() + 6), firstRow);
    EXPECT_EQ(std::vector<uint32_t>(doubled.pixels.begin() + 6, doubled.pixels.begin() + 12),
              firstRow);
    EXPECT_EQ(doubled.pixels[18], 0xA0B0C0u);
}

// 175 % shrunk from the 200 % set: 8 pixels to 7 drops one, keeps the others whole.
TEST(SkinPixels, ShrinkingKeepsWholePixels) {
    const SkinPixels row{8, 1, {1, 2, 3, 4, 5, 6, 7, 8}};
    EXPECT_EQ(ResampleSkinPixels(row, 7, 1).pixels, (std::vector<uint32_t>{1, 2, 3, 5, 6, 7, 8}));
    EXPECT_EQ(ResampleSkinPixels(row, 4, 1).pixels, (std::vector<uint32_t>{2, 4, 6, 8}));
}

TEST(SkinPixels, NoNewColourAppearsAtAnySize) {
    for (const int width : {1, 2, 4, 5, 7, 11}) {
        const SkinPixels resampled = ResampleSkinPixels(Checker(), width, width + 1);
        const std::set<uint32_t> colours(resampled.pixels.begin(), resampled.pixels.end());
        EXPECT_TRUE(colours.count(kKey)) << width;
        EXPECT_LE(colours.size(), 3u) << width;
        for (const uint32_t colour : colours) {
            EXPECT_TRUE(colour == kKey || colour == 0x102030 || colour == 0xA0B0C0) << width;
        }
    }
}

TEST(SkinPixels, APictureShorterThanItsSizeGivesNothing) {
    EXPECT_TRUE(ResampleSkinPixels({3, 2, {1, 2, 3}}, 6, 4).pixels.empty());
    EXPECT_TRUE(ResampleSkinPixels({-1, 2, {}}, 6, 4).pixels.empty());
    EXPECT_TRUE(ResampleSkinPixels(Checker(), 0, 4).pixels.empty());
}

TEST(SkinSets, EachScaleTakesItsSetOrTheNextLarger) {
    EXPECT_EQ(SkinSetFor(96), 0);
    EXPECT_EQ(SkinSetFor(72), 0);
    EXPECT_EQ(SkinSetFor(97), 1);
    EXPECT_EQ(SkinSetFor(120), 1);
    EXPECT_EQ(SkinSetFor(144), 2);
    EXPECT_EQ(SkinSetFor(156), 3); // 162.5 %: the 175 % set, shrunk
    EXPECT_EQ(SkinSetFor(168), 3);
    EXPECT_EQ(SkinSetFor(192), 4);
    EXPECT_EQ(SkinSetFor(288), 4);
}

} // namespace
