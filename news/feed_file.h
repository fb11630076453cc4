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

// The rows of a feed: numbered titles in Unicode, and the addresses of the links, percent-encoded
// where they are not ASCII.
struct NewsRows {
    std::vector<std::wstring> lines;
    std::vector<std::string> links;
};
NewsRows NewsRowsFromFeed(std::string_view bytes, std::string_view feedAddress = {});

} // namespace qv
