#pragma once

#include <array>
#include <string_view>

#include "framework/display_scale.h"
#include "framework/pixel_rect.h"
#include "media/slide_steps.h"
#include "res/resource.h"

namespace qv {

// Playlist panel (186 x 192): where each mode puts its lists and query box; the other mode's
// controls are parked outside the window.
inline constexpr int kPlaylistWidth = 186;
inline constexpr int kPlaylistHeight = 192;
inline constexpr PixelRect kNameListRect{7, 6, 172, 175};
inline constexpr PixelRect kResultListRect{7, 6, 172, 149};
inline constexpr PixelRect kQueryBoxRect{47, 161, 104, 16};
inline constexpr PixelRect kParkedControlRect{400, 400, 1, 1};
// Where the bar's initialisation parks the panel: above the screen, 4 pixels wider than the
// panel is everywhere else.
inline constexpr PixelRect kPlaylistCreationRect{300, kPlaylistParkedTop, 190, kPlaylistHeight};

enum class PlaylistZone { None, SearchButton, NextPage };
PlaylistZone HitPlaylistPanel(int x, int y, int dpi = kDesignDpi);

// Player windows, from the primary screen width W: frame, browser window, and the control that
// overhangs the browser window by 2 pixels on every side.
PixelRect PlayerFrameRect(int screenWidth, int dpi = kDesignDpi);
PixelRect PlayerBrowserRect(int screenWidth, int dpi = kDesignDpi);
inline constexpr PixelRect kPlayerControlRect{-2, -2, 324, 273};

// Page browser skin and control for a W x H window.
std::array<ControlPlacement, 11> PageBrowserLayout(int width, int height, int dpi = kDesignDpi);

enum class PageBrowserZone { None, Back, Forward, Close };
PageBrowserZone HitPageBrowser(int x, int y, int width, int dpi = kDesignDpi);

// The title strip shows at most this much of the address.
std::string_view TitleStripText(std::string_view address);

} // namespace qv
