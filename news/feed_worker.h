#pragma once

#include <windows.h>

#include <array>
#include <memory>
#include <string>

#include "framework/handles.h"
#include "news/feed_download.h"

namespace qv {

inline constexpr int kFeedCount = 5;

// What one run downloads: feed n's URL into feed n's file, n = 1..5 in order.
struct FeedRunJob {
    std::array<std::string, kFeedCount> urls;
    std::array<std::string, kFeedCount> paths;
};

struct FeedRunLink;

// Runs feed downloads one run at a time on a thread that lives only while its run goes. The
// thread only downloads; when it is done it posts the given message to the window, and the
// window's thread does everything else. Every call is made on the window's thread.
class FeedWorker {
public:
    FeedWorker() = default;
    FeedWorker(const FeedWorker&) = delete;
    FeedWorker& operator=(const FeedWorker&) = delete;
    // A run still going is abandoned: it ends on its own and tells nobody.
    ~FeedWorker();

    bool Running() const { return thread_.get() != nullptr; }
    // Starts a run now; false when one is already going (or no thread could be made).
    bool Start(HWND window, UINT doneMessage, FeedRunJob job);
    // The done message arrived: waits the moment the thread needs to end.
    void Finished();
    void Abandon();

    void SetLimits(const FeedDownloadLimits& limits) { limits_ = limits; }

private:
    FeedDownloadLimits limits_;
    UniqueKernelHandle thread_;
    std::shared_ptr<FeedRunLink> link_;
};

} // namespace qv
