#include "news/feed_schedule.h"

#include <algorithm>
#include <array>
#include <vector>

#include "text/ascii.h"
#include "text/decimal.h"

namespace qv {

namespace {

int64_t BackoffWait(uint32_t failures, int64_t periodSeconds) {
    int64_t wait = std::max<int64_t>(periodSeconds, 1);
    for (uint32_t k = 1; k < failures && wait < kLongestFeedWaitSeconds; ++k) {
        wait *= 2;
    }
    return std::min(wait, kLongestFeedWaitSeconds);
}

// Days from 1970-01-01 to the given civil date (proleptic Gregorian).
int64_t DaysFromCivil(int64_t year, int month, int day) {
    year -= month <= 2;
    const int64_t era = (year >= 0 ? year : year - 399) / 400;
    const int64_t yearOfEra = year - era * 400;
    const int64_t dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

std::optional<int> Number(std::string_view text, size_t minDigits, size_t maxDigits) {
    if (text.size() < minDigits || text.size() > maxDigits) {
        return std::nullopt;
    }
    return ParseDecimal<int>(text);
}

std::optional<int> Month(std::string_view name) {
    static constexpr std::array<std::string_view, 12> kMonths{
        "jan", "feb", "mar", "apr", "may", "jun", "jul", "aug", "sep", "oct", "nov", "dec"};
    for (size_t i = 0; i < kMonths.size(); ++i) {
        if (EqualsIgnoringAsciiCase(name, kMonths[i])) {
            return int(i + 1);
        }
    }
    return std::nullopt;
}

// The words of a date: split at spaces, commas and hyphens (RFC 850 writes 06-Nov-94); at most
// eight, so that a long value costs nothing.
std::vector<std::string_view> DateWords(std::string_view text) {
    std::vector<std::string_view> words;
    size_t start = 0;
    for (size_t i = 0; i <= text.size() && words.size() <= 8; ++i) {
        if (i == text.size() || text[i] == ' ' || text[i] == ',' || text[i] == '-') {
            if (i > start) {
                words.push_back(text.substr(start, i - start));
            }
            start = i + 1;
        }
    }
    return words;
}

std::optional<int64_t> SecondsOfDay(std::string_view clock) {
    if (clock.size() != 8 || clock[2] != ':' || clock[5] != ':') {
        return std::nullopt;
    }
    const auto hours = Number(clock.substr(0, 2), 2, 2);
    const auto minutes = Number(clock.substr(3, 2), 2, 2);
    const auto seconds = Number(clock.substr(6, 2), 2, 2);
    if (!hours || !minutes || !seconds || *hours > 23 || *minutes > 59 || *seconds > 60) {
        return std::nullopt;
    }
    return *hours * 3600 + *minutes * 60 + *seconds;
}

std::optional<int64_t> DateTime(std::optional<int> year, std::optional<int> month,
                                std::optional<int> day, std::string_view clock) {
    const std::optional<int64_t> seconds = SecondsOfDay(clock);
    if (!year || !month || !day || !seconds || *day < 1 || *day > 31) {
        return std::nullopt;
    }
    return DaysFromCivil(*year, *month, *day) * 86400 + *seconds;
}

} // namespace

int64_t NextTry(const FeedFetchState& state, int64_t periodSeconds) {
    if (state.failures == 0 || state.waitUntil) {
        return state.waitUntil; // the server said when
    }
    int64_t wait = state.failures > 1 ? BackoffWait(state.failures, periodSeconds) : 0;
    if (state.outcome == FetchOutcome::AskedToWait) {
        wait = std::max(wait, 2 * periodSeconds);
    }
    return wait ? state.lastAttempt + wait : 0;
}

bool FeedDue(const FeedFetchState& state, const FeedRunClock& clock) {
    if (state.lastAttempt > clock.now) {
        return true; // the clock went back: no wait can be trusted
    }
    if (state.waitUntil > clock.now) {
        return false;
    }
    return clock.userAsked || clock.now >= NextTry(state, clock.periodSeconds);
}

void RecordAnswer(FeedFetchState& state, const FeedAnswer& answer, const FeedRunClock& clock) {
    state.lastAttempt = clock.now;
    state.outcome = answer.outcome;
    state.waitUntil = 0;
    if (answer.outcome == FetchOutcome::Updated || answer.outcome == FetchOutcome::NotModified) {
        state.lastSuccess = clock.now;
        state.failures = 0;
        state.failingSince = 0;
        if (answer.outcome == FetchOutcome::Updated) {
            state.lastUpdate = clock.now;
            state.etag = IsSendableHeaderValue(answer.etag) ? answer.etag : "";
            state.lastModified =
                IsSendableHeaderValue(answer.lastModified) ? answer.lastModified : "";
            state.file = answer.file;
        }
        return;
    }
    if (state.failures++ == 0) {
        state.failingSince = clock.now;
    }
    if (answer.outcome == FetchOutcome::AskedToWait) {
        state.waitUntil = RetryAfterUntil(answer.retryAfter, clock.now).value_or(0);
    }
}

FeedFetchState StateForAddress(FeedFetchState state, const std::string& address) {
    if (state.address != address) {
        state = FeedFetchState{};
        state.address = address;
    }
    return state;
}

FeedValidators ValidatorsFor(const FeedFetchState& state,
                             const std::optional<FeedFileIdentity>& fileNow) {
    if (!state.file || !fileNow || *state.file != *fileNow) {
        return {};
    }
    FeedValidators validators;
    if (IsSendableHeaderValue(state.etag)) {
        validators.etag = state.etag;
    }
    if (IsSendableHeaderValue(state.lastModified)) {
        validators.lastModified = state.lastModified;
    }
    return validators;
}

std::optional<int64_t> RetryAfterUntil(std::string_view value, int64_t now) {
    while (!value.empty() && IsAsciiSpace(value.front())) {
        value.remove_prefix(1);
    }
    while (!value.empty() && IsAsciiSpace(value.back())) {
        value.remove_suffix(1);
    }
    const bool delay = !value.empty() && std::all_of(value.begin(), value.end(),
                                                     [](char c) { return c >= '0' && c <= '9'; });
    // More digits than that are longer than a day anyway.
    const std::optional<int64_t> until =
        delay ? now + Number(value, 1, 9).value_or(kLongestFeedWaitSeconds) : ParseHttpDate(value);
    if (!until) {
        return std::nullopt;
    }
    return std::clamp(*until, now, now + kLongestFeedWaitSeconds);
}

std::optional<int64_t> ParseHttpDate(std::string_view text) {
    const std::vector<std::string_view> words = DateWords(text);
    // Sun, 06 Nov 1994 08:49:37 GMT, or Sunday, 06-Nov-94 08:49:37 GMT
    if (words.size() == 6 && words[5] == "GMT") {
        std::optional<int> year = Number(words[3], 4, 4);
        if (const auto shortYear = Number(words[3], 2, 2)) {
            year = *shortYear + (*shortYear < 70 ? 2000 : 1900);
        }
        return DateTime(year, Month(words[2]), Number(words[1], 1, 2), words[4]);
    }
    // Sun Nov  6 08:49:37 1994
    if (words.size() == 5) {
        return DateTime(Number(words[4], 4, 4), Month(words[1]), Number(words[2], 1, 2), words[3]);
    }
    return std::nullopt;
}

} // namespace qv
