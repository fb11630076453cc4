#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qv {

// The bytes of a feed file, read whole into memory that is not cleared first: a feed can be
// tens of megabytes, and its reading is done on the window's thread.
class FeedBytes {
public:
    FeedBytes(std::unique_ptr<char[]> bytes, size_t size) : bytes_(std::move(bytes)), size_(size) {}
    std::string_view view() const { return {bytes_.get(), size_}; }

private:
    std::unique_ptr<char[]> bytes_;
    size_t size_;
};

// A missing feed file is created empty. None when it cannot be opened or read (nothing is
// reported). Opened so that the worker can put a new file in its place meanwhile.
std::optional<FeedBytes> ReadFeedFile(const std::string& path);

// The rows of a feed: numbered title lines in the system's ANSI code page and the links as
// written in the file.
struct NewsRows {
    std::vector<std::string> lines;
    std::vector<std::string> links;
};
NewsRows NewsRowsFromFeed(std::string_view bytes);

// A title from the feed's code page into the ANSI code page; ASCII passes untouched.
std::string TitleInAnsi(std::string_view title, unsigned codePage);
// The same title in Unicode; a code page the system lacks is read as Western.
std::wstring TitleInUnicode(std::string_view title, unsigned codePage);

} // namespace qv
