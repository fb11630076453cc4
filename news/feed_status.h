#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "news/feed_fetch_state.h"

namespace qv {

// A UTC time in the user's words: local time, and the date when it is not today.
using TimeWords = std::function<std::wstring(int64_t utcSeconds)>;

// What a feed's tab tells of its last fetch and, when it did not update, why.
std::wstring FeedStatusText(const FeedFetchState& state, bool hasAddress, int64_t periodSeconds,
                            const TimeWords& timeWords);

} // namespace qv
