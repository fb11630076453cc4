#include "media/slide_steps.h"

#include <algorithm>

namespace qv {

SlideStep PlaylistSlideInStep(int y, int alpha) {
    if (y < kPlaylistOpenTop) {
        return {y + 35, alpha + 35, false};
    }
    return {kPlaylistOpenTop, alpha, true};
}

SlideStep PlaylistSlideOutStep(int y, int alpha) {
    if (y > kPlaylistParkedTop) {
        return {y - 35, std::max(alpha - 50, 0), false};
    }
    return {kPlaylistParkedTop, alpha, true};
}

} // namespace qv
