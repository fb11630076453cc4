#pragma once

#include "framework/pixel_rect.h"

namespace qv {

// The four sections of the information balloon, and the bar timer that repaints each.
enum InfoSection : int { kMediaSection = 1, kProcessorSection, kMemorySection, kNetworkSection };

constexpr unsigned SectionTimerId(int section) {
    return unsigned(section) + 1;
}

inline constexpr int kBalloonTop = 18;
inline constexpr int kBalloonWidth = 245;

// Under the bar, with the balloon's pointer (30 pixels in from its left edge) on the hovered item.
constexpr PixelRect BalloonRect(int section, int screenWidth, bool isPlaying) {
    switch (section) {
    case kMediaSection:
        return {screenWidth - 359, kBalloonTop, kBalloonWidth, isPlaying ? 130 : 60};
    case kProcessorSection:
        return {screenWidth - 320, kBalloonTop, kBalloonWidth, 159};
    case kMemorySection:
        return {screenWidth - 289, kBalloonTop, kBalloonWidth, 160};
    default:
        return {screenWidth - 250, kBalloonTop, kBalloonWidth, 220};
    }
}

} // namespace qv
