#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qv {

// Which state of a feed file its rows were read from: a file written again, or put in its place
// by a download, has another size or last-write time.
struct FeedFileIdentity {
    uint64_t size = 0;
    uint64_t lastWriteTime = 0;
    bool operator==(const FeedFileIdentity&) const = default;
};

// The identity of the file at path as it is now, from its attributes alone: cheap enough for the
// window's thread. None when it cannot be opened.
std::optional<FeedFileIdentity> FeedFileIdentityAt(const std::string& path);

// The bytes of a feed file, read whole into memory that is not cleared first: a feed can be
// tens of megabytes.
class FeedBytes {
public:
    FeedBytes(std::unique_ptr<char[]> bytes, size_t size) : bytes_(std::move(bytes)), size_(size) {}
    std::string_view view() const { return {bytes_.get(), size_}; }

private:
    std::unique_ptr<char[]> bytes_;
    size_t size_;
};

// A feed file as read: its bytes, and the identity of the file they say all of, taken from the
// open handle before reading. A file too large to be a feed has an identity but no bytes; one
// that cannot be opened or read whole has neither (nothing is reported).
struct FeedFile {
    std::optional<FeedFileIdentity> identity;
    std::optional<FeedBytes> bytes;
};

// A missing feed file is created empty. Opened so that the worker can put a new file in its
// place meanwhile.
FeedFile ReadFeedFile(const std::string& path);

// The rows of a feed: numbered titles in Unicode, and the addresses of the links, percent-encoded
// where they are not ASCII.
struct NewsRows {
    std::vector<std::wstring> lines;
    std::vector<std::string> links;
};
NewsRows NewsRowsFromFeed(std::string_view bytes, std::string_view feedAddress = {});

// A feed file read into rows, with the identity of the file they were read from. A file that
// cannot be read gives no rows (never those of another feed).
struct FeedReading {
    std::optional<FeedFileIdentity> identity;
    NewsRows rows;
};

// Takes as long as the feed's scan: for the worker, never the window's thread. Relative links
// resolve against feedAddress.
FeedReading ReadFeedRows(const std::string& path, std::string_view feedAddress);

} // namespace qv
