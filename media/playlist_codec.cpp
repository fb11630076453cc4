#include "media/playlist_codec.h"

namespace qv {

namespace {

constexpr std::string_view kSongOpen = "<song>";
constexpr std::string_view kSongClose = "</song>";
constexpr std::string_view kLinkOpen = "<link>";
constexpr std::string_view kLinkClose = "</link>";
constexpr size_t kNotFound = std::string_view::npos;

class TagFinder {
public:
    TagFinder(std::string_view text, LeadByteTest isLeadByte)
        : text_(text), isLeadByte_(isLeadByte) {}

    // The first index at or after from where tag starts on a character boundary.
    size_t Find(std::string_view tag, size_t from) const {
        if (!isLeadByte_) {
            return text_.find(tag, from);
        }
        for (size_t i = from; i < text_.size(); i += CharacterLength(i)) {
            if (text_.substr(i).starts_with(tag)) {
                return i;
            }
        }
        return kNotFound;
    }

private:
    size_t CharacterLength(size_t at) const {
        return isLeadByte_(uint8_t(text_[at])) && at + 1 < text_.size() ? 2 : 1;
    }

    std::string_view text_;
    LeadByteTest isLeadByte_;
};

std::string_view Trimmed(std::string_view text) {
    constexpr std::string_view kWhiteSpace = " \t\n\v\f\r";
    const size_t first = text.find_first_not_of(kWhiteSpace);
    if (first == kNotFound) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(kWhiteSpace) - first + 1);
}

std::string_view Between(std::string_view text, size_t openAt, size_t openLength, size_t closeAt) {
    if (openAt == kNotFound || closeAt == kNotFound) {
        return {};
    }
    return Trimmed(text.substr(openAt + openLength, closeAt - openAt - openLength));
}

} // namespace

std::vector<PlaylistEntry> ParsePlaylist(std::string_view text, LeadByteTest isLeadByte) {
    text = text.substr(0, text.find('\0'));
    const TagFinder finder(text, isLeadByte);
    std::vector<PlaylistEntry> entries;
    size_t position = 0;
    // A record missing any closing part is the last one read: the search position is lost.
    while (position != kNotFound && position <= text.size()) {
        const size_t song = finder.Find(kSongOpen, position);
        if (song == kNotFound) {
            break;
        }
        const size_t songEnd = finder.Find(kSongClose, song);
        size_t link = kNotFound;
        size_t linkEnd = kNotFound;
        if (songEnd != kNotFound) {
            link = finder.Find(kLinkOpen, songEnd);
            if (link != kNotFound) {
                linkEnd = finder.Find(kLinkClose, link);
            }
        }
        entries.push_back({std::string(Between(text, song, kSongOpen.size(), songEnd)),
                           std::string(Between(text, link, kLinkOpen.size(), linkEnd))});
        position = linkEnd;
    }
    return entries;
}

std::string FormatPlaylist(std::span<const PlaylistEntry> entries) {
    std::string text;
    for (const PlaylistEntry& entry : entries) {
        text.append(kSongOpen).append(entry.name).append(kSongClose);
        text.append(kLinkOpen).append(entry.link).append(kLinkClose).push_back('\n');
    }
    return text;
}

bool HoldsPlaylistTag(std::string_view text) {
    for (const std::string_view tag : {kSongOpen, kSongClose, kLinkOpen, kLinkClose}) {
        if (text.find(tag) != kNotFound) {
            return true;
        }
    }
    return false;
}

std::string NumberedName(int number, std::string_view name) {
    return std::to_string(number) + ". " + std::string(name);
}

} // namespace qv
