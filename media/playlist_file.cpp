#include "media/playlist_file.h"

#include <windows.h>

#include "framework/program_file_path.h"
#include "media/whole_file.h"

namespace qv {

namespace {

bool SystemLeadByte(uint8_t byte) {
    return IsDBCSLeadByte(byte) != FALSE;
}

} // namespace

std::optional<std::vector<PlaylistEntry>> ReadPlaylistFile() {
    const std::optional<std::string> text =
        ReadWholeFileCreatingIt(ProgramFilePath(kPlaylistFileName));
    if (!text) {
        return std::nullopt;
    }
    return ParsePlaylist(*text, &SystemLeadByte);
}

bool WritePlaylistFile(std::span<const PlaylistEntry> entries) {
    return ReplaceWholeFile(ProgramFilePath(kPlaylistFileName), FormatPlaylist(entries));
}

} // namespace qv
