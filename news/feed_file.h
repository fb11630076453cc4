#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qv {

// A feed file read whole; a missing one is created empty. Empty when it cannot be opened or
// read (nothing is reported).
std::optional<std::string> ReadFeedFile(const std::string& path);

// The rows of a feed: numbered title lines in the system's ANSI code page and the links as
// written in the file.
struct NewsRows {
    std::vector<std::string> lines;
    std::vector<std::string> links;
};
NewsRows NewsRowsFromFeed(std::string_view bytes);

// A title from the feed's code page into the ANSI code page; ASCII passes untouched.
std::string TitleInAnsi(std::string_view title, unsigned codePage);

} // namespace qv
