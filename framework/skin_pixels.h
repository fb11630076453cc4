#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace qv {

// Pixels of a skin picture, row by row from the top, 0x00RRGGBB.
struct SkinPixels {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;
};

// The skin art comes in sets drawn for 100, 125, 150, 175 and 200 %; set n's bitmap ids are the
// 100 % ids plus n times this step.
inline constexpr int kSkinSetIdStep = 10000;
inline constexpr int kSkinSetDpis[] = {96, 120, 144, 168, 192};

// The set to draw at dpi: the one made for it, else the next larger one, shrunk; above the
// largest, the largest, enlarged.
int SkinSetFor(int dpi);

// The picture at another size, each pixel taken whole from the nearest source pixel. Nothing
// is blended, so the colour key stays exactly the key and an edge pixel is either key or art.
SkinPixels ResampleSkinPixels(const SkinPixels& source, int width, int height);

} // namespace qv
