#include "settings/option_values.h"

namespace qv {

int ListPosition(uint32_t stored, size_t rowCount) {
    return stored < rowCount ? int(stored) : -1;
}

uint32_t StoredPosition(int selected) {
    return selected < 0 ? 0xFFFFFFFFu : uint32_t(selected);
}

std::optional<int> FeedRowWithCaretInTitle(std::span<const std::string> titles) {
    for (size_t row = 0; row < titles.size(); ++row) {
        if (titles[row].find('^') != std::string::npos) {
            return int(row) + 1;
        }
    }
    return std::nullopt;
}

std::string CaretInTitleMessage(int row) {
    return "The title of feed " + std::to_string(row) + " cannot contain the ^ character.";
}

} // namespace qv
