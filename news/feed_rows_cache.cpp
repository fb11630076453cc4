#include "news/feed_rows_cache.h"

namespace qv {

void FeedRowsCache::Keep(FeedReadings readings) {
    for (size_t i = 0; i < feeds_.size(); ++i) {
        if (readings[i]) {
            feeds_[i] = Kept{readings[i]->identity,
                             std::make_shared<const NewsRows>(std::move(readings[i]->rows))};
        }
    }
}

std::shared_ptr<const NewsRows> FeedRowsCache::CurrentRows(int feed,
                                                           const std::string& path) const {
    const std::optional<Kept>& kept = feeds_[size_t(feed - 1)];
    return kept && kept->identity == FeedFileIdentityAt(path) ? kept->rows : nullptr;
}

std::shared_ptr<const NewsRows> FeedRowsCache::KeptRows(int feed) const {
    const std::optional<Kept>& kept = feeds_[size_t(feed - 1)];
    return kept ? kept->rows : nullptr;
}

} // namespace qv
