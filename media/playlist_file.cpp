#include "media/playlist_file.h"

#include <windows.h>

#include "framework/program_file_path.h"
#include "framework/whole_file.h"
#include "framework/wide_text.h"

namespace qv {

namespace {

bool SystemLeadByte(uint8_t byte) {
    return IsDBCSLeadByte(byte) != FALSE;
}

// Files of earlier versions are in the ANSI code page; one with the byte-order mark is UTF-8.
std::vector<PlaylistEntry> EntriesOfFile(std::string_view bytes) {
    if (bytes.starts_with(kUtf8Mark)) {
        return ParsePlaylist(bytes.substr(kUtf8Mark.size()));
    }
    std::vector<PlaylistEntry> entries = ParsePlaylist(bytes, &SystemLeadByte);
    for (PlaylistEntry& entry : entries) {
        entry.name = Utf8(Widen(entry.name));
        entry.link = Utf8(Widen(entry.link));
    }
    return entries;
}

// The file stays in the ANSI code page, byte for byte as earlier versions wrote it, while that
// page holds every character; a name it cannot hold makes the whole file UTF-8 with the mark.
std::string FileBytes(std::span<const PlaylistEntry> entries) {
    std::vector<PlaylistEntry> ansi(entries.size());
    for (size_t i = 0; i < entries.size(); ++i) {
        if (!NarrowExactly(FromUtf8(entries[i].name), ansi[i].name) ||
            !NarrowExactly(FromUtf8(entries[i].link), ansi[i].link)) {
            return std::string(kUtf8Mark) + FormatPlaylist(entries);
        }
    }
    return FormatPlaylist(ansi);
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
    return EntriesOfFile(*text);
}

bool WritePlaylistFile(std::span<const PlaylistEntry> entries) {
    const std::string path = ProgramFilePath(kPlaylistFileName);
    if (const FileError error = ReplaceWholeFile(path, FileBytes(entries))) {
        ShowFileError(path, error);
        return false;
    }
    return true;
}

} // namespace qv
