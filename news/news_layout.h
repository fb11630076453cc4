#pragma once

#include <array>
#include <cstddef>

#include "framework/display_scale.h"
#include "framework/pixel_rect.h"

namespace qv {

// The news panel's fixed geometry, in client pixels.
inline constexpr int kNewsWidth = 263;
inline constexpr int kNewsHeight = 300;
inline constexpr int kNewsOpenTop = 0;
inline constexpr int kNewsParkedTop = -490;
inline constexpr int kNewsOpenAlpha = 245;
inline constexpr int kNewsFeedCount = 5;

inline constexpr PixelRect kNewsParkedRect{300, kNewsParkedTop, kNewsWidth, kNewsHeight};
inline constexpr PixelRect kNewsBodyRect{0, 0, 263, 262};
inline constexpr PixelRect kNewsTabStripRect{0, 262, 263, 38};
inline constexpr PixelRect kNewsTitleListRect{8, 3, 240, 260};

// Feed n's tab marker and title (n = 1..5, index n - 1).
inline constexpr std::array<int, kNewsFeedCount> kNewsTabMarkerX{11, 53, 96, 139, 182};
inline constexpr int kNewsTabMarkerY = 266;
inline constexpr int kNewsTabMarkerWidth = 41;
inline constexpr int kNewsTabMarkerHeight = 16;
inline constexpr std::array<int, kNewsFeedCount> kNewsTabTitleX{14, 55, 99, 142, 185};
inline constexpr int kNewsTabTitleY = 266;
inline constexpr int kNewsTabTitleLength = 6;

constexpr PixelRect NewsTabMarkerRect(int feed) {
    return {kNewsTabMarkerX[std::size_t(feed - 1)], kNewsTabMarkerY, kNewsTabMarkerWidth,
            kNewsTabMarkerHeight};
}

// What a released left button acts on; tested in this order, bounds included.
enum class NewsZone { None, Tab1, Tab2, Tab3, Tab4, Tab5, Refresh, Close };

NewsZone HitNewsPanel(int x, int y, int dpi = kDesignDpi);
// The feed a tab zone shows (1..5), 0 for the other zones.
int FeedOfZone(NewsZone zone);

// The pixels of feed n's tab zone at dpi; right and bottom lie just outside.
struct ZoneBounds {
    int left, top, right, bottom;
    bool operator==(const ZoneBounds&) const = default;
};
ZoneBounds NewsTabZone(int feed, int dpi = kDesignDpi);

// Where the panel hangs: its right edge overlaps the bar's left edge by 5 pixels.
constexpr int NewsPanelX(int barLeft, int dpi = kDesignDpi) {
    return barLeft - ScaleLength(kNewsWidth, dpi) + ScaleLength(5, dpi);
}

// One tick of a slide; settled means the timer stops and the window snaps to y.
struct NewsSlideStep {
    int y;
    int alpha;
    bool settled;
    bool operator==(const NewsSlideStep&) const = default;
};

// Down by 55 with alpha up by 30 (at most 245) until at or below the top edge; then snap to 0.
NewsSlideStep NewsSlideInStep(int y, int alpha);
// Up by 35 with alpha down by 45 (at least 0) until at or above y -489; then snap to -490.
NewsSlideStep NewsSlideOutStep(int y, int alpha);

} // namespace qv
