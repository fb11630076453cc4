#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace qv {

// One row of a feed, ready to show: the title decoded once from the feed's bytes, plain text,
// trimmed; the link decoded, trimmed, in UTF-8.
struct FeedEntry {
    std::u16string title;
    std::string link;
    bool operator==(const FeedEntry&) const = default;
};

// Longer titles are cut: a list row is no place for a page of text.
inline constexpr size_t kMaxTitleCharacters = 1024;
// An entry without a title shows this much of the start of its description.
inline constexpr size_t kDescriptionTitleCharacters = 80;

// Every item or entry of a feed file, in file order. An entry without a title is shown by the
// start of its description, or by its link when it has none; one with neither is left out.
// replyCharset is the charset the server named for the file, if any; feedAddress is the address
// the file was fetched from, the last base a relative link is resolved against.
std::vector<FeedEntry> ReadFeedEntries(std::string_view fileBytes,
                                       std::string_view replyCharset = {},
                                       std::string_view feedAddress = {});

// XML white space and the vertical tab and form feed at both ends go.
std::u16string_view TrimText(std::u16string_view text);

} // namespace qv
