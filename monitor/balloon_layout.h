#pragma once

#include <array>

#include "framework/display_scale.h"
#include "framework/pixel_rect.h"

namespace qv {

// The four sections of the information balloon, and the bar timer that repaints each.
enum class InfoSection { Media = 1, Processor, Memory, Network };

inline constexpr std::array<InfoSection, 4> kInfoSections{
    InfoSection::Media, InfoSection::Processor, InfoSection::Memory, InfoSection::Network};

// The ids 2 to 5 of the bar's timers (app/quorvel_dlg.h names them).
constexpr unsigned SectionTimerId(InfoSection section) {
    return unsigned(section) + 1;
}

inline constexpr int kBalloonTop = 18;
inline constexpr int kBalloonWidth = 245;

// Under the bar, with the balloon's pointer (30 pixels in from its left edge) on the hovered item.
// In 100 % pixels: how far left of the screen's right edge, and how tall.
constexpr PixelRect BalloonRect100(InfoSection section, bool isPlaying) {
    switch (section) {
    case InfoSection::Media:
        return {359, kBalloonTop, kBalloonWidth, isPlaying ? 130 : 60};
    case InfoSection::Processor:
        return {320, kBalloonTop, kBalloonWidth, 159};
    case InfoSection::Memory:
        return {289, kBalloonTop, kBalloonWidth, 160};
    default:
        return {250, kBalloonTop, kBalloonWidth, 220};
    }
}

constexpr PixelRect BalloonRect(InfoSection section, int screenWidth, bool isPlaying,
                                int dpi = kDesignDpi) {
    const PixelRect rect = BalloonRect100(section, isPlaying);
    return {screenWidth - ScaleLength(rect.x, dpi), ScaleLength(rect.y, dpi),
            ScaleLength(rect.width, dpi), ScaleLength(rect.height, dpi)};
}

} // namespace qv
