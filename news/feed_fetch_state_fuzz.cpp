#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "news/feed_fetch_state.h"
#include "news/feed_schedule.h"
#include "news/feed_status.h"

// A state file and a Retry-After value, whatever they hold: the state reads back as written,
// a wait stays within a day, and the tab's text can always be made.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const qv::FeedFetchState state = qv::ParseFeedFetchState(text);
    if (qv::ParseFeedFetchState(qv::FeedFetchStateText(state)) != state) {
        std::abort();
    }
    constexpr int64_t kNow = 1'800'000'000;
    if (const auto until = qv::RetryAfterUntil(text, kNow);
        until && (*until < kNow || *until > kNow + qv::kLongestFeedWaitSeconds)) {
        std::abort();
    }
    const qv::FeedRunClock clock{kNow, 300, false};
    (void)qv::FeedDue(state, clock);
    (void)qv::FeedStatusText(state, true, 300, [](int64_t) { return std::wstring(L"t"); });
    return 0;
}
