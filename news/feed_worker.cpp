#include "news/feed_worker.h"

#include <mutex>

#include "framework/thread_stack.h"

namespace qv {

// Where a run reports its end. The window's side clears it when it stops listening, so a run
// that outlives its window posts nothing; the lock is held only around the post.
struct FeedRunLink {
    std::mutex mutex;
    HWND window = nullptr;
    UINT message = 0;

    void Post() {
        const std::lock_guard lock(mutex);
        if (window) {
            PostMessageA(window, message, 0, 0);
        }
    }
    void Forget() {
        const std::lock_guard lock(mutex);
        window = nullptr;
    }
};

namespace {

constexpr SIZE_T kFeedRunStackBytes = 256 * 1024;

struct FeedRun {
    FeedRunJob job;
    FeedDownloadLimits limits;
    std::shared_ptr<FeedRunLink> link;
};

// Wine writes a new thread's whole stack before it runs and keeps the stack of the thread that
// ended last: the run gives back what it does not stand on when it starts and before it ends.
DWORD WINAPI FeedDownloadProc(void* parameter) {
    ReleaseUnusedStack();
    const std::unique_ptr<FeedRun> run(static_cast<FeedRun*>(parameter));
    {
        FeedDownloader downloader(run->limits);
        for (int n = 0; n < kFeedCount; ++n) {
            downloader.Download(run->job.urls[n], run->job.paths[n]); // a failure keeps the old
        }
    }
    ReleaseUnusedStack();
    run->link->Post();
    return 1;
}

} // namespace

FeedWorker::~FeedWorker() {
    Abandon();
}

bool FeedWorker::Start(HWND window, UINT doneMessage, FeedRunJob job) {
    if (Running()) {
        return false;
    }
    link_ = std::make_shared<FeedRunLink>();
    link_->window = window;
    link_->message = doneMessage;
    auto run = std::make_unique<FeedRun>(FeedRun{std::move(job), limits_, link_});
    // The downloads need little stack; the program's default reserves 2 MB.
    thread_.reset(CreateThread(nullptr, kFeedRunStackBytes, &FeedDownloadProc, run.get(),
                               STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr));
    if (!thread_) {
        link_.reset();
        return false;
    }
    (void)run.release(); // the thread owns it now
    return true;
}

// The thread posts as its very last act, so this wait is a matter of microseconds; after it
// the process has no feed thread until the next run.
void FeedWorker::Finished() {
    if (thread_) {
        WaitForSingleObject(thread_.get(), INFINITE);
    }
    thread_.reset();
    link_.reset();
}

void FeedWorker::Abandon() {
    if (link_) {
        link_->Forget();
    }
    thread_.reset();
    link_.reset();
}

} // namespace qv
