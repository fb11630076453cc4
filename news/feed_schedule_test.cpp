#include "news/feed_schedule.h"

#include <gtest/gtest.h>

#include "news/feed_status.h"

namespace {

using namespace qv;

constexpr int64_t kStart = 1'800'000'000;
constexpr int64_t kPeriod = 600;

FeedRunClock At(int64_t now, bool userAsked = false) {
    return {now, kPeriod, userAsked};
}

FeedAnswer Answer(FetchOutcome outcome, std::string retryAfter = {}) {
    FeedAnswer answer;
    answer.outcome = outcome;
    answer.retryAfter = std::move(retryAfter);
    return answer;
}

// The first failure leaves the next periodic run alone; then the waits double from the
// period, and the first success ends them.
TEST(FeedSchedule, FailuresInARowDoubleTheWaitUntilASuccess) {
    FeedFetchState state;
    int64_t now = kStart;
    RecordAnswer(state, Answer(FetchOutcome::Failed), At(now));
    EXPECT_TRUE(FeedDue(state, At(now + kPeriod)));
    for (const int64_t wait : {2 * kPeriod, 4 * kPeriod}) {
        now += kPeriod;
        RecordAnswer(state, Answer(FetchOutcome::Failed), At(now));
        EXPECT_FALSE(FeedDue(state, At(now + wait - 1))) << wait;
        EXPECT_TRUE(FeedDue(state, At(now + wait))) << wait;
        EXPECT_TRUE(FeedDue(state, At(now + 1, true))) << "the user's own run asks at once";
    }
    EXPECT_EQ(state.failures, 3u);
    EXPECT_EQ(state.failingSince, kStart);
    RecordAnswer(state, Answer(FetchOutcome::NotModified), At(now + 4 * kPeriod));
    EXPECT_EQ(state.failures, 0u);
    EXPECT_EQ(state.failingSince, 0);
    EXPECT_TRUE(FeedDue(state, At(now + 4 * kPeriod + 1)));
}

TEST(FeedSchedule, TheBackOffStopsGrowingAtADay) {
    FeedFetchState state;
    for (int i = 0; i < 40; ++i) {
        RecordAnswer(state, Answer(FetchOutcome::Failed), At(kStart));
    }
    EXPECT_FALSE(FeedDue(state, At(kStart + 24 * 3600 - 1)));
    EXPECT_TRUE(FeedDue(state, At(kStart + 24 * 3600)));
}

// A server's Retry-After holds even the user's own run, up to a day; without one, a 429 or 503
// waits one more period; a clock set back trusts no wait.
TEST(FeedSchedule, AServerThatAsksToWaitIsLeftAloneUntilThen) {
    FeedFetchState state;
    RecordAnswer(state, Answer(FetchOutcome::AskedToWait, "120"), At(kStart));
    EXPECT_FALSE(FeedDue(state, At(kStart + 119, true)));
    EXPECT_TRUE(FeedDue(state, At(kStart + 120)));

    RecordAnswer(state, Answer(FetchOutcome::AskedToWait, " 9999999999 "), At(kStart));
    EXPECT_EQ(state.waitUntil, kStart + 24 * 3600);

    FeedFetchState busy;
    RecordAnswer(busy, Answer(FetchOutcome::AskedToWait), At(kStart));
    EXPECT_FALSE(FeedDue(busy, At(kStart + 2 * kPeriod - 1)));
    EXPECT_TRUE(FeedDue(busy, At(kStart + 2 * kPeriod)));
    EXPECT_TRUE(FeedDue(busy, At(kStart - 1)));
}

TEST(FeedSchedule, RetryAfterReadsSecondsAndTheThreeHttpDateForms) {
    // 1994-11-06 08:49:37 UTC
    constexpr int64_t kDate = 784111777;
    EXPECT_EQ(ParseHttpDate("Sun, 06 Nov 1994 08:49:37 GMT"), kDate);
    EXPECT_EQ(ParseHttpDate("Sunday, 06-Nov-94 08:49:37 GMT"), kDate);
    EXPECT_EQ(ParseHttpDate("Sun Nov  6 08:49:37 1994"), kDate);
    EXPECT_EQ(ParseHttpDate("X, 06 Nov 1994 08:49:37 GMT"), kDate); // the weekday is not read
    EXPECT_EQ(ParseHttpDate("Thu, 01 Jan 1970 00:00:00 GMT"), 0);
    EXPECT_EQ(ParseHttpDate("Sat, 28 Feb 2026 12:00:00 GMT"), 1772280000);
    EXPECT_EQ(ParseHttpDate("Thu, 29 Feb 2024 00:00:00 GMT"), 1709164800);
    EXPECT_EQ(ParseHttpDate("Sun, 01 Mar 2026 00:00:00 GMT"), 1772323200);
    EXPECT_EQ(ParseHttpDate("Wed, 09 Dec 2026 23:59:60 GMT"), 1796860800);
    for (const char* bad : {"Sun, 06 Nov 1994 08:49:37 CET", "Sun, 06 Xyz 1994 08:49:37 GMT",
                            "Sun, 06 Nov 1994 24:00:00 GMT", "Sun, 00 Nov 1994 08:49:37 GMT",
                            "Sun, 06 Nov 1994 8:49:37 GMT", "Sun, 06 Nov 19x4 08:49:37 GMT", ""}) {
        EXPECT_EQ(ParseHttpDate(bad), std::nullopt) << bad;
    }
    EXPECT_EQ(RetryAfterUntil("0", kStart), kStart);
    EXPECT_EQ(RetryAfterUntil("Sun, 06 Nov 1994 08:49:37 GMT", kStart), kStart); // passed
    const int64_t tomorrow = kStart + 86400;
    EXPECT_EQ(RetryAfterUntil("86401", kStart), tomorrow);
    EXPECT_EQ(RetryAfterUntil("-5", kStart), std::nullopt);
    EXPECT_EQ(RetryAfterUntil("soon", kStart), std::nullopt);
}

// Validators go with the address and the file they made: another address or another file
// (gone, or written by someone else) asks for the whole feed.
TEST(FeedSchedule, ValidatorsBelongToTheirAddressAndTheirFile) {
    FeedFetchState state;
    state.address = "http://a/feed";
    FeedAnswer body = Answer(FetchOutcome::Updated);
    body.etag = "W/\"v1\"";
    body.lastModified = "Tue, 08 Dec 2026 01:00:00 GMT";
    body.file = FeedFileIdentity{120, 77};
    RecordAnswer(state, body, At(kStart));
    const FeedValidators sent = ValidatorsFor(state, FeedFileIdentity{120, 77});
    EXPECT_EQ(sent.etag, "W/\"v1\"");
    EXPECT_EQ(sent.lastModified, "Tue, 08 Dec 2026 01:00:00 GMT");
    EXPECT_EQ(ValidatorsFor(state, FeedFileIdentity{120, 78}).etag, "");
    EXPECT_EQ(ValidatorsFor(state, std::nullopt).lastModified, "");
    EXPECT_EQ(
        ValidatorsFor(StateForAddress(state, "http://b/feed"), FeedFileIdentity{120, 77}).etag, "");
    EXPECT_EQ(StateForAddress(state, "http://a/feed"), state);

    body.etag = std::string("\"line\r\nX-Injected: 1\"");
    RecordAnswer(state, body, At(kStart + 1));
    EXPECT_EQ(ValidatorsFor(state, FeedFileIdentity{120, 77}).etag, "");
}

TEST(FeedFetchStateText, ReadsBackWhatItWroteAndAnyTextAsSomeState) {
    FeedFetchState state;
    state.address = "http://a/feed?x=1&y=2";
    state.etag = "\"abc def\"";
    state.lastModified = "Tue, 08 Dec 2026 01:00:00 GMT";
    state.file = FeedFileIdentity{5, 133999999999};
    state.outcome = FetchOutcome::AskedToWait;
    state.lastAttempt = kStart;
    state.lastSuccess = kStart - 10;
    state.lastUpdate = kStart - 20;
    state.waitUntil = kStart + 30;
    state.failingSince = kStart - 5;
    state.failures = 2;
    EXPECT_EQ(ParseFeedFetchState(FeedFetchStateText(state)), state);

    const FeedFetchState odd = ParseFeedFetchState(
        "failures -3\r\nattempt 99999999999999999999\nwait-until 999999999999\noutcome gone\n"
        "etag \"a\x01\"\nfile 12\nsuccess 7\nunknown x\n\n \n");
    EXPECT_EQ(odd.failures, 0u);
    EXPECT_EQ(odd.lastAttempt, 0);
    EXPECT_EQ(odd.waitUntil, 0) << "past the year 9999";
    EXPECT_EQ(odd.outcome, FetchOutcome::None);
    EXPECT_EQ(odd.etag, "");
    EXPECT_EQ(odd.file, std::nullopt);
    EXPECT_EQ(odd.lastSuccess, 7);
}

TEST(FeedStatusText, TellsWhenTheFeedWasFetchedAndWhyNot) {
    const TimeWords words = [](int64_t utc) { return L"<" + std::to_wstring(utc - kStart) + L">"; };
    FeedFetchState state;
    EXPECT_EQ(FeedStatusText(state, false, kPeriod, words),
              L"No address for this feed: add one in Settings.");
    EXPECT_EQ(FeedStatusText(state, true, kPeriod, words), L"Not fetched yet.");
    RecordAnswer(state, Answer(FetchOutcome::Updated), At(kStart));
    EXPECT_EQ(FeedStatusText(state, true, kPeriod, words), L"Updated at <0>.");
    RecordAnswer(state, Answer(FetchOutcome::NotModified), At(kStart + 60));
    EXPECT_EQ(FeedStatusText(state, true, kPeriod, words),
              L"Checked at <60>: not modified since <0>.");
    RecordAnswer(state, Answer(FetchOutcome::AskedToWait, "120"), At(kStart + 600));
    EXPECT_EQ(FeedStatusText(state, true, kPeriod, words),
              L"Last fetched at <60>. The server asked to wait until <720>.");
    RecordAnswer(state, Answer(FetchOutcome::Failed), At(kStart + 1200));
    EXPECT_EQ(FeedStatusText(state, true, kPeriod, words),
              L"Last fetched at <60>. Failing since <600> (2 tries); next try after <2400>.");
    FeedFetchState failedOnce;
    RecordAnswer(failedOnce, Answer(FetchOutcome::Failed), At(kStart));
    EXPECT_EQ(FeedStatusText(failedOnce, true, kPeriod, words), L"Failing since <0>.");
}

} // namespace
