#pragma once

namespace qv {

// One tick of a panel's slide: where it goes and how opaque it is; settled means the timer
// stops and the window snaps to y.
struct SlideStep {
    int y;
    int alpha;
    bool settled;
    bool operator==(const SlideStep&) const = default;
};

inline constexpr int kPlaylistOpenTop = 18;
inline constexpr int kPlaylistParkedTop = -200;

SlideStep PlaylistSlideInStep(int y, int alpha);
SlideStep PlaylistSlideOutStep(int y, int alpha);

} // namespace qv
