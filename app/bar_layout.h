#pragma once

#include <array>

#include "framework/display_scale.h"
#include "framework/pixel_rect.h"
#include "framework/skin.h"
#include "res/resource.h"

namespace qv {

inline constexpr int kBarWidth = 236;
inline constexpr int kBarHeight = 18;
inline constexpr int kBarOffsetFromRight = 350;

// The bar's home: the top edge of the primary screen, 350 pixels (at 100 %) left of its right
// edge.
constexpr PixelRect BarHomeRect(int screenWidth, int dpi = kDesignDpi) {
    return {screenWidth - ScaleLength(kBarOffsetFromRight, dpi), 0, ScaleLength(kBarWidth, dpi),
            ScaleLength(kBarHeight, dpi)};
}

// Where the skin lies (its template's place) and where the bar puts its hover images (and the
// stop images) over it.
inline constexpr ControlPlacement kBarSkinPlacement{IDC_BAR_SKIN, {0, 0, 235, 18}};
inline constexpr std::array<ControlPlacement, 7> kBarControlPlacements{{
    {IDC_BAR_NEWS_HOVER, {0, 0, 16, 18}},
    {IDC_BAR_PLAY_HOVER, {16, 0, 14, 18}},
    {IDC_BAR_STOP, {16, 0, 14, 18}},
    {IDC_BAR_STOP_HOVER, {16, 0, 14, 18}},
    {IDC_BAR_PLAYER_HOVER, {30, 0, 19, 18}},
    {IDC_BAR_WEB_SEARCH_HOVER, {199, 0, 19, 18}},
    {IDC_BAR_VIDEO_SEARCH_HOVER, {218, 0, 17, 18}},
}};
// The bitmap each of those shows.
inline constexpr std::array<int, 7> kBarImageBitmaps{
    IDB_NEWS_HOVER,       IDB_PLAY_HOVER,        IDB_STOP, IDB_STOP_HOVER, IDB_PLAYER_HOVER,
    IDB_WEB_SEARCH_HOVER, IDB_VIDEO_SEARCH_HOVER};

} // namespace qv
