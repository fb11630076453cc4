#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace qv {

// One playlist item: a display name and a link, both trimmed of white space.
struct PlaylistEntry {
    std::string name;
    std::string link;
    bool operator==(const PlaylistEntry&) const = default;
};

// Tells whether a byte starts a double-byte character in the text's code page.
using LeadByteTest = bool (*)(uint8_t byte);

// The entries of a playlist file's text. The text ends at its first NUL byte. With a lead-byte
// test, a tag is never matched starting inside a double-byte character.
std::vector<PlaylistEntry> ParsePlaylist(std::string_view text, LeadByteTest isLeadByte = nullptr);

// The file's text for the entries: one "<song>..</song><link>..</link>\n" record each.
std::string FormatPlaylist(std::span<const PlaylistEntry> entries);

// Whether the text holds one of the file's tags: such a name or link would read back cut, empty
// or as further entries, so it cannot be stored.
bool HoldsPlaylistTag(std::string_view text);

// The playlist panel's row text for the n-th entry (1-based): "3. Intro".
std::string NumberedName(int number, std::string_view name);

} // namespace qv
