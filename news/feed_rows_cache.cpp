#include "news/feed_rows_cache.h"

namespace qv {

void FeedRowsCache::Keep(FeedReadings readings) {
    for (size_t i = 0; i < feeds_.size(); ++i) {
        if (readings[i]) {
            feeds_[i] = std::move(readings[i]);
        }
    }
}

const NewsRows* FeedRowsCache::CurrentRows(int feed, const std::string& path) const {
    const std::optional<FeedReading>& kept = feeds_[size_t(feed - 1)];
    return kept && kept->identity == FeedFileIdentityAt(path) ? &kept->rows : nullptr;
}

} // namespace qv
