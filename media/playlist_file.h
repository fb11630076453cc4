#pragma once

#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "media/playlist_codec.h"

namespace qv {

inline constexpr char kPlaylistFileName[] = "QVPlaylist.ini";
inline constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";

// The playlist beside the program, its names and links in UTF-8; a missing file is created empty.
// Nothing when the file can be neither read nor created (the user has seen the file-error box).
std::optional<std::vector<PlaylistEntry>> ReadPlaylistFile();

// Replaces the whole playlist file; false, after the file-error box, when it cannot.
bool WritePlaylistFile(std::span<const PlaylistEntry> entries);

} // namespace qv
