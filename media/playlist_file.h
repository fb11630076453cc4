#pragma once

#include <optional>
#include <span>
#include <vector>

#include "media/playlist_codec.h"

namespace qv {

inline constexpr char kPlaylistFileName[] = "QVPlaylist.ini";

// The playlist beside the program; a missing file is created empty. Nothing when the file can
// be neither read nor created (the user has seen the file-error box).
std::optional<std::vector<PlaylistEntry>> ReadPlaylistFile();

// Replaces the whole playlist file; false, after the file-error box, when it cannot.
bool WritePlaylistFile(std::span<const PlaylistEntry> entries);

} // namespace qv
