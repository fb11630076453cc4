#include "media/playlist_file.h"

#include <windows.h>

#include "framework/program_file_path.h"
#include "framework/whole_file.h"

namespace qv {

namespace {

bool SystemLeadByte(uint8_t byte) {
    return IsDBCSLeadByte(byte) != FALSE;
}

} // namespace

std::optional<std::vector<PlaylistEntry>> ReadPlaylistFile() {
    const std::string path = ProgramFilePath(kPlaylistFileName);
    FileError error = 0;
    const std::optional<std::string> text = ReadWholeFileCreatingIt(path, error);
    if (!text) {
        ShowFileError(path, error);
        return std::nullopt;
    }
    return ParsePlaylist(*text, &SystemLeadByte);
}

bool WritePlaylistFile(std::span<const PlaylistEntry> entries) {
    const std::string path = ProgramFilePath(kPlaylistFileName);
    if (const FileError error = ReplaceWholeFile(path, FormatPlaylist(entries))) {
        ShowFileError(path, error);
        return false;
    }
    return true;
}

} // namespace qv
