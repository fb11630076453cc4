#pragma once

#include <array>
#include <memory>
#include <optional>
#include <string>

#include "news/feed_worker.h"

namespace qv {

// The rows of every feed read so far, each with the identity of the file it was read from, so
// that showing a feed again reads nothing while its file stays the same.
class FeedRowsCache {
public:
    // Each feed read replaces what was kept of it; the others stay.
    void Keep(FeedReadings readings);
    // Feed n's rows (n = 1..5) while the file at path is the one they were read from (or still
    // cannot be opened, as when they were read); null when the file must be read.
    std::shared_ptr<const NewsRows> CurrentRows(int feed, const std::string& path) const;
    // Feed n's rows as last read, whatever its file holds now; null when it was never read.
    std::shared_ptr<const NewsRows> KeptRows(int feed) const;

private:
    // Shared with a listing in progress, which a new reading must not pull from under it.
    struct Kept {
        std::optional<FeedFileIdentity> identity;
        std::shared_ptr<const NewsRows> rows;
    };
    std::array<std::optional<Kept>, kFeedCount> feeds_;
};

} // namespace qv
