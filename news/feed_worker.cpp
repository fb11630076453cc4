#include "news/feed_worker.h"

#include <mutex>

#include "framework/thread_stack.h"
#include "framework/whole_file.h"
#include "framework/wide_text.h"

namespace qv {

// Where a job reports its end, and what it read. The window's side clears the window when it
// stops listening, so a job that outlives its window posts nothing; the lock is held only around
// the post. The rows are written before the post and taken after the thread has ended: they
// need no lock.
struct FeedRunLink {
    std::mutex mutex;
    HWND window = nullptr;
    UINT message = 0;
    FeedReadings readings;
    FeedFetchStates states; // set by a run only

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
    bool download = false;
    std::bitset<kFeedCount> reads;
    std::shared_ptr<FeedRunLink> link;
};

// What the last fetches of a feed left beside its file: empty when there is no such file yet,
// none when it cannot be read whole or is too large to be ours (then it is left as it is).
std::optional<FeedFetchState> ReadFetchState(const std::string& path) {
    const UniqueKernelHandle file =
        OwnFileHandle(CreateFileW(FromUtf8(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        const DWORD error = GetLastError();
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND
                   ? std::optional<FeedFetchState>(FeedFetchState{})
                   : std::nullopt;
    }
    char text[kMaxFetchStateBytes + 1];
    DWORD read = 0;
    if (!ReadFile(file.get(), text, sizeof text, &read, nullptr) || read > kMaxFetchStateBytes) {
        return std::nullopt;
    }
    return ParseFeedFetchState(std::string_view(text, read));
}

// A feed is asked for when due, with the validators of its file as it is; a failure keeps the
// old file. What the server said goes beside the file for the next run.
FeedFetchState FetchFeed(FeedDownloader& downloader, const FeedRun& run, int n) {
    const std::string& url = run.job.urls[n];
    const std::string& path = run.job.paths[n];
    const std::string statePath = FetchStatePathFor(path);
    const std::optional<FeedFetchState> stored = ReadFetchState(statePath);
    FeedFetchState state = StateForAddress(stored.value_or(FeedFetchState{}), url);
    if (url.empty() || !FeedDue(state, run.job.clock)) {
        return state;
    }
    const FeedAnswer answer =
        downloader.Fetch(url, path, ValidatorsFor(state, FeedFileIdentityAt(path)));
    RecordAnswer(state, answer, run.job.clock);
    if (stored) {
        ReplaceWholeFile(statePath, FeedFetchStateText(state));
    }
    return state;
}

void DownloadAll(const FeedRun& run) {
    FeedDownloader downloader(run.limits);
    for (int n = 0; n < kFeedCount; ++n) {
        run.link->states[size_t(n)] = FetchFeed(downloader, run, n);
    }
}

// A run reads the files there are; the reading of a feed about to be shown creates its missing
// file, empty.
bool ReadsFile(const FeedRun& run, int n) {
    if (!run.reads[size_t(n)]) {
        return false;
    }
    return !run.download ||
           GetFileAttributesW(FromUtf8(run.job.paths[n]).c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Wine writes a new thread's whole stack before it runs and keeps the stack of the thread that
// ended last: the job gives back what it does not stand on when it starts and before it ends.
DWORD WINAPI FeedDownloadProc(void* parameter) {
    ReleaseUnusedStack();
    const std::unique_ptr<FeedRun> run(static_cast<FeedRun*>(parameter));
    if (run->download) {
        DownloadAll(*run);
    }
    for (int n = 0; n < kFeedCount; ++n) {
        if (ReadsFile(*run, n)) {
            run->link->readings[size_t(n)] = ReadFeedRows(run->job.paths[n], run->job.urls[n]);
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

bool FeedWorker::StartRun(HWND window, UINT doneMessage, FeedRunJob job) {
    return Start(window, doneMessage, std::move(job), true, std::bitset<kFeedCount>().set());
}

bool FeedWorker::StartReading(HWND window, UINT doneMessage, FeedRunJob job, int feed) {
    return Start(window, doneMessage, std::move(job), false,
                 std::bitset<kFeedCount>().set(size_t(feed - 1)));
}

bool FeedWorker::Start(HWND window, UINT doneMessage, FeedRunJob job, bool download,
                       std::bitset<kFeedCount> reads) {
    if (Running()) {
        return false;
    }
    link_ = std::make_shared<FeedRunLink>();
    link_->window = window;
    link_->message = doneMessage;
    auto run = std::make_unique<FeedRun>(FeedRun{std::move(job), limits_, download, reads, link_});
    // The job needs little stack; the program's default reserves 2 MB.
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
// the process has no feed thread until the next job.
FeedReadings FeedWorker::Finished() {
    if (thread_) {
        WaitForSingleObject(thread_.get(), INFINITE);
    }
    thread_.reset();
    FeedReadings readings;
    if (link_) {
        readings = std::move(link_->readings);
        if (link_->states[0]) {
            fetchStates_ = std::move(link_->states);
        }
    }
    link_.reset();
    return readings;
}

void FeedWorker::Abandon() {
    if (link_) {
        link_->Forget();
    }
    thread_.reset();
    link_.reset();
}

} // namespace qv
