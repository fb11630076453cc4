#pragma once

#include <windows.h>

#include <array>
#include <bitset>
#include <memory>
#include <optional>
#include <string>

#include "framework/handles.h"
#include "news/feed_download.h"
#include "news/feed_fetch_state.h"
#include "news/feed_file.h"
#include "news/feed_schedule.h"

namespace qv {

inline constexpr int kFeedCount = 5;

// The five feeds: feed n's URL is downloaded into feed n's file, n = 1..5 in order, each when
// it is due at the run's clock.
struct FeedRunJob {
    std::array<std::string, kFeedCount> urls;
    std::array<std::string, kFeedCount> paths;
    FeedRunClock clock;
};

// What a job read, by feed: none for a feed it did not read.
using FeedReadings = std::array<std::optional<FeedReading>, kFeedCount>;
// What the last run knew of each feed's fetches: none before a run has ended.
using FeedFetchStates = std::array<std::optional<FeedFetchState>, kFeedCount>;

struct FeedRunLink;

// Runs feed jobs one at a time on a thread that lives only while its job goes: a run downloads
// the five feeds and reads every file into rows; a reading reads one file. When it is done the
// thread posts the given message to the window, whose thread takes the rows and does everything
// else. Every call is made on the window's thread.
class FeedWorker {
public:
    FeedWorker() = default;
    FeedWorker(const FeedWorker&) = delete;
    FeedWorker& operator=(const FeedWorker&) = delete;
    // A job still going is abandoned: it ends on its own, frees what it read and tells nobody.
    ~FeedWorker();

    bool Running() const { return thread_.get() != nullptr; }
    // Each starts its job now; false when one is already going (or no thread could be made).
    bool StartRun(HWND window, UINT doneMessage, FeedRunJob job);
    bool StartReading(HWND window, UINT doneMessage, FeedRunJob job, int feed);
    // The done message arrived: waits the moment the thread needs to end, and takes what it read.
    FeedReadings Finished();
    // Of the last run that ended.
    const FeedFetchStates& FetchStates() const { return fetchStates_; }
    void Abandon();

    void SetLimits(const FeedDownloadLimits& limits) { limits_ = limits; }

private:
    bool Start(HWND window, UINT doneMessage, FeedRunJob job, bool download,
               std::bitset<kFeedCount> reads);

    FeedDownloadLimits limits_;
    UniqueKernelHandle thread_;
    std::shared_ptr<FeedRunLink> link_;
    FeedFetchStates fetchStates_;
};

} // namespace qv
