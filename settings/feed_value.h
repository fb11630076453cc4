#pragma once

#include <string>
#include <string_view>

namespace qv {

// Title and source in UTF-8.
struct FeedSlot {
    std::string title;
    std::string source;
    bool operator==(const FeedSlot&) const = default;
};

// A feed slot is stored as title "^" source; the split is at the first caret, so a caret in the
// source survives and one in the title does not.
FeedSlot SplitFeedValue(std::string_view value);
std::string JoinFeedValue(std::string_view title, std::string_view source);

} // namespace qv
