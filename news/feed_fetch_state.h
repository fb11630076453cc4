#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "news/feed_file.h"

namespace qv {

// How the last time a feed was asked for ended.
enum class FetchOutcome : uint8_t {
    None,        // never asked for
    Updated,     // a new body replaced the file
    NotModified, // 304: the file is still the feed
    AskedToWait, // 429 or 503: the server asked to be left alone for a while
    Failed,      // anything else: no answer, a bad status, a body cut short or too large
};

// What a feed's server said, kept beside its file so that the next run can ask politely. Times
// are UTC seconds since 1970; 0 is never.
struct FeedFetchState {
    std::string address; // the address all of this belongs to
    // The validators of the reply that made the file, and that file as it was made.
    std::string etag;
    std::string lastModified;
    std::optional<FeedFileIdentity> file;
    FetchOutcome outcome = FetchOutcome::None;
    int64_t lastAttempt = 0;
    int64_t lastSuccess = 0; // a body or a 304
    int64_t lastUpdate = 0;  // a body
    int64_t waitUntil = 0;   // from the server's Retry-After
    int64_t failingSince = 0;
    uint32_t failures = 0; // in a row

    bool operator==(const FeedFetchState&) const = default;
};

// A state file larger than this is none of ours.
inline constexpr size_t kMaxFetchStateBytes = 8 * 1024;

// One "name value" line per field; unknown lines, bad numbers and values with control
// characters are left out, so any text reads as some state.
FeedFetchState ParseFeedFetchState(std::string_view text);
std::string FeedFetchStateText(const FeedFetchState& state);

// A header value worth keeping and sending back: printable ASCII, short enough for one line.
bool IsSendableHeaderValue(std::string_view value);

// The state file beside a feed file.
std::string FetchStatePathFor(const std::string& feedPath);

} // namespace qv
