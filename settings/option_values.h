#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "settings/feed_value.h"

namespace qv {

// A stored position (NicAdapter, UpdateFrequency) as the selection of a list of that many rows:
// -1 when the list has no such row.
int ListPosition(uint32_t stored, size_t rowCount);

// The selection as it is stored: the position, or -1 (0xFFFFFFFF) for no selection.
uint32_t StoredPosition(int selected);

// A caret in a feed title would move the rest of the title into the source when it is read
// back: the number (1-based) of the first row whose title holds one.
std::optional<int> FeedRowWithCaretInTitle(std::span<const FeedSlot> rows);
std::string CaretInTitleMessage(int row);

// A feed whose stored value would be longer than a text reads back comes back empty: the number
// (1-based) of the first such row.
std::optional<int> FeedRowTooLongToStore(std::span<const FeedSlot> rows);
std::string FeedTooLongMessage(int row);

// The first feed (1-based) whose source cannot be made an address to ask for: its file would
// never update, or be replaced by the answer to another request.
std::optional<int> FeedRowWithUnusableSource(std::span<const FeedSlot> rows);
std::string UnusableSourceMessage(int row);

} // namespace qv
