#include "framework/skin_pixels.h"

#include <iterator>

namespace qv {

namespace {

// For each pixel of the new row (or column), the source pixel whose area holds its centre.
std::vector<int> NearestIndices(int sourceCount, int count) {
    std::vector<int> indices(std::size_t(count > 0 ? count : 0));
    for (int i = 0; i < count; ++i) {
        indices[std::size_t(i)] = int((2 * static_cast<long long>(i) + 1) * sourceCount /
                                      (2 * static_cast<long long>(count)));
    }
    return indices;
}

} // namespace

int SkinSetFor(int dpi) {
    const int sets = int(std::size(kSkinSetDpis));
    for (int set = 0; set < sets; ++set) {
        if (dpi <= kSkinSetDpis[set]) {
            return set;
        }
    }
    return sets - 1;
}

SkinPixels ResampleSkinPixels(const SkinPixels& source, int width, int height) {
    if (source.width <= 0 || source.height <= 0 || width <= 0 || height <= 0 ||
        source.pixels.size() < std::size_t(source.width) * std::size_t(source.height)) {
        return {};
    }
    const std::vector<int> columns = NearestIndices(source.width, width);
    const std::vector<int> rows = NearestIndices(source.height, height);
    SkinPixels resampled{width, height, {}};
    resampled.pixels.reserve(columns.size() * rows.size());
    for (const int row : rows) {
        const uint32_t* line = source.pixels.data() + std::size_t(row) * std::size_t(source.width);
        for (const int column : columns) {
            resampled.pixels.push_back(line[column]);
        }
    }
    return resampled;
}

} // namespace qv
