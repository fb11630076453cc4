#include "news/feed_status.h"

#include "news/feed_schedule.h"

namespace qv {

namespace {

std::wstring LastFetched(const FeedFetchState& state, const TimeWords& timeWords) {
    return state.lastSuccess ? L"Last fetched at " + timeWords(state.lastSuccess) + L". " : L"";
}

std::wstring FailingText(const FeedFetchState& state, int64_t next, const TimeWords& timeWords) {
    std::wstring text = L"Failing since " + timeWords(state.failingSince);
    if (state.failures > 1) {
        text += L" (" + std::to_wstring(state.failures) + L" tries)";
    }
    if (next) {
        text += L"; next try after " + timeWords(next);
    }
    return text + L".";
}

} // namespace

std::wstring FeedStatusText(const FeedFetchState& state, bool hasAddress, int64_t periodSeconds,
                            const TimeWords& timeWords) {
    if (!hasAddress) {
        return L"No address for this feed: add one in Settings.";
    }
    switch (state.outcome) {
    case FetchOutcome::None:
        break;
    case FetchOutcome::Updated:
        return L"Updated at " + timeWords(state.lastUpdate) + L".";
    case FetchOutcome::NotModified:
        return L"Checked at " + timeWords(state.lastSuccess) + L": not modified" +
               (state.lastUpdate ? L" since " + timeWords(state.lastUpdate) : L"") + L".";
    case FetchOutcome::AskedToWait:
        return LastFetched(state, timeWords) + L"The server asked to wait until " +
               timeWords(NextTry(state, periodSeconds)) + L".";
    case FetchOutcome::Failed:
        return LastFetched(state, timeWords) +
               FailingText(state, NextTry(state, periodSeconds), timeWords);
    }
    return L"Not fetched yet.";
}

} // namespace qv
