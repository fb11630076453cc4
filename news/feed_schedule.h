#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "news/feed_fetch_state.h"

namespace qv {

inline constexpr int64_t kLongestFeedWaitSeconds = 24 * 60 * 60;

// What a run knows when it decides: the time it started, the update period (the shortest when
// none is armed) and whether the user asked for it (Refresh, OK in Settings, the program's start).
struct FeedRunClock {
    int64_t now = 0;
    int64_t periodSeconds = 300;
    bool userAsked = false;
};

// Whether the run asks for the feed. A server's Retry-After is the time, and holds even a run
// the user asked for; the back-off does not: after the k-th failure in a row a periodic run
// waits period * 2^(k-1), at most a day, and after a 429 or 503 without Retry-After at least
// two periods.
bool FeedDue(const FeedFetchState& state, const FeedRunClock& clock);
// The earliest time a periodic run asks again; 0 when the next one does.
int64_t NextTry(const FeedFetchState& state, int64_t periodSeconds);

// How one request ended, as the download tells it.
struct FeedAnswer {
    FetchOutcome outcome = FetchOutcome::Failed;
    std::string etag;                     // of a body that replaced the file
    std::string lastModified;             // of a body that replaced the file
    std::string retryAfter;               // of a 429 or 503
    std::optional<FeedFileIdentity> file; // the file the body became
};
void RecordAnswer(FeedFetchState& state, const FeedAnswer& answer, const FeedRunClock& clock);

// The state a run starts from for this address: another address's state is forgotten.
FeedFetchState StateForAddress(FeedFetchState state, const std::string& address);

// The validators to send: only those of the file as it is now, and only sendable ones.
struct FeedValidators {
    std::string etag;
    std::string lastModified;
};
FeedValidators ValidatorsFor(const FeedFetchState& state,
                             const std::optional<FeedFileIdentity>& fileNow);

// A Retry-After value, delay seconds or an HTTP date, as the time it names, at most a day from
// now; none when it is neither.
std::optional<int64_t> RetryAfterUntil(std::string_view value, int64_t now);
// An HTTP date (IMF-fixdate, RFC 850 or asctime form) as UTC seconds.
std::optional<int64_t> ParseHttpDate(std::string_view text);

} // namespace qv
