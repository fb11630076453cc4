#include "news/news_layout.h"

#include <algorithm>

namespace qv {

namespace {

struct NewsHitRegion {
    NewsZone zone;
    int left, right, top, bottom; // inclusive
};

constexpr NewsHitRegion kNewsHitRegions[] = {
    {NewsZone::Tab1, 15, 50, 265, 280},    {NewsZone::Tab2, 57, 92, 265, 280},
    {NewsZone::Tab3, 100, 135, 265, 280},  {NewsZone::Tab4, 143, 178, 265, 280},
    {NewsZone::Tab5, 186, 221, 265, 280},  {NewsZone::Refresh, 229, 243, 265, 280},
    {NewsZone::Close, 248, 262, 285, 299},
};

} // namespace

NewsZone HitNewsPanel(int x, int y, int dpi) {
    for (const NewsHitRegion& region : kNewsHitRegions) {
        if (ZoneHolds(x, y, region.left, region.right, region.top, region.bottom, dpi)) {
            return region.zone;
        }
    }
    return NewsZone::None;
}

ZoneBounds NewsTabZone(int feed, int dpi) {
    const NewsHitRegion& tab = kNewsHitRegions[std::clamp(feed, 1, kNewsFeedCount) - 1];
    const PixelSpan across = ScaleSpan(tab.left, tab.right, dpi);
    const PixelSpan down = ScaleSpan(tab.top, tab.bottom, dpi);
    return {across.first, down.first, across.last + 1, down.last + 1};
}

int FeedOfZone(NewsZone zone) {
    switch (zone) {
    case NewsZone::Tab1:
        return 1;
    case NewsZone::Tab2:
        return 2;
    case NewsZone::Tab3:
        return 3;
    case NewsZone::Tab4:
        return 4;
    case NewsZone::Tab5:
        return 5;
    default:
        return 0;
    }
}

NewsSlideStep NewsSlideInStep(int y, int alpha) {
    if (y >= kNewsOpenTop) {
        return {kNewsOpenTop, alpha, true};
    }
    return {y + 55, std::min(alpha + 30, kNewsOpenAlpha), false};
}

NewsSlideStep NewsSlideOutStep(int y, int alpha) {
    if (y <= kNewsParkedTop + 1) {
        return {kNewsParkedTop, alpha, true};
    }
    return {y - 35, std::max(alpha - 45, 0), false};
}

} // namespace qv
