#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace qv {

// One item of a feed as the scanner found it: views into the scanned text, trimmed, with no
// entity or encoding work done yet.
struct FeedItem {
    std::string_view title;
    std::string_view link;
    bool operator==(const FeedItem&) const = default;
};

// The feed scanner is a plain substring search, not an XML parser: from the first "<item>" on
// it alternates between the next "<title>" and the next "<link>" after it, exact and
// case-sensitive. An item whose "</title>", "<link>" or "</link>" is missing is still listed
// (with an empty part) and ends the scan.
std::vector<FeedItem> ScanFeedItems(std::string_view text);

// Space, tab, line feed, vertical tab, form feed and carriage return at both ends go.
std::string_view TrimFeedSpace(std::string_view text);

// "&apos;", "&#8217;" and "&#8216;" become an apostrophe; every other entity stays as written.
std::string ReplaceApostropheEntities(std::string_view title);

// The visible row of item number k (from 1): "k. title".
std::string NumberedNewsLine(int number, std::string_view title);

// The position of needle in text at or after from; npos when there is none.
size_t FindInFeed(std::string_view text, std::string_view needle, size_t from);

} // namespace qv
