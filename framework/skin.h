#pragma once

#include <cstdint>

namespace qv {

// Pure green: the transparent colour of every skin.
inline constexpr uint32_t SkinColourKey = 0x00FF00;

// The face of the bar's and the panels' texts.
inline constexpr char kSkinFaceName[] = "Segoe UI";

} // namespace qv
