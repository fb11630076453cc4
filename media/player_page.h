#pragma once

#include <string>
#include <string_view>

namespace qv {

// Which outside player the page embeds; the values are fixed.
enum class PlayerVariant { WindowsMedia = 1, RealMedia = 2, FlashVideo = 3 };

// RealMedia for a link whose last three characters are one of its suffixes (case-sensitive);
// every other playlist link plays through Windows Media.
PlayerVariant ChoosePlayerVariant(std::string_view link);

// The page that embeds the variant's player pointed at the link. The link's double quotes and
// angle brackets are written as entities so it cannot leave its attribute; nothing else is.
std::string BuildPlayerPage(PlayerVariant variant, std::string_view link);

} // namespace qv
