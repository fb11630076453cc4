#include "settings/option_values.h"

#include "framework/web_uri.h"
#include "settings/setting_names.h"
#include "text/unicode.h"

namespace qv {

int ListPosition(uint32_t stored, size_t rowCount) {
    return stored < rowCount ? int(stored) : -1;
}

uint32_t StoredPosition(int selected) {
    return selected < 0 ? 0xFFFFFFFFu : uint32_t(selected);
}

std::optional<int> FeedRowWithCaretInTitle(std::span<const FeedSlot> rows) {
    for (size_t row = 0; row < rows.size(); ++row) {
        if (rows[row].title.find('^') != std::string::npos) {
            return int(row) + 1;
        }
    }
    return std::nullopt;
}

std::string CaretInTitleMessage(int row) {
    return "The title of feed " + std::to_string(row) + " cannot contain the ^ character.";
}

std::optional<int> FeedRowTooLongToStore(std::span<const FeedSlot> rows) {
    for (size_t row = 0; row < rows.size(); ++row) {
        // Counted as the registry holds the text: in UTF-16 units.
        if (Utf16Length(JoinFeedValue(rows[row].title, rows[row].source)) >=
            kSettingTextBufferSize) {
            return int(row) + 1;
        }
    }
    return std::nullopt;
}

std::string FeedTooLongMessage(int row) {
    return "Feed " + std::to_string(row) +
           " is too long to be saved: its title and source may hold 510 characters together.";
}

std::optional<int> FeedRowWithUnusableSource(std::span<const FeedSlot> rows) {
    for (size_t row = 0; row < rows.size(); ++row) {
        if (!UriFromIri(rows[row].source)) {
            return int(row) + 1;
        }
    }
    return std::nullopt;
}

std::string UnusableSourceMessage(int row) {
    return "The source of feed " + std::to_string(row) +
           " is not an address that can be fetched: please check its host name.";
}

} // namespace qv
