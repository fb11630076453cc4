#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>

#if defined(_WIN32)
#include <windows.h>

#include "framework/thread_stack.h"
#endif

namespace qv {

namespace detail {

#if defined(_WIN32)
// The system's slim lock and condition variable: Wine serves them with futexes inside the
// process, where the C++ library's (winpthreads) cost a wineserver round trip per wake-up.
class ReaderMutex {
public:
    void lock() { AcquireSRWLockExclusive(&lock_); }
    void unlock() { ReleaseSRWLockExclusive(&lock_); }
    SRWLOCK* native() { return &lock_; }

private:
    SRWLOCK lock_ = SRWLOCK_INIT;
};

class ReaderCondition {
public:
    void notify_all() { WakeAllConditionVariable(&condition_); }

    template <typename Ready> void wait(std::unique_lock<ReaderMutex>& lock, Ready ready) {
        while (!ready()) {
            SleepConditionVariableSRW(&condition_, lock.mutex()->native(), INFINITE, 0);
        }
    }

    template <typename Ready>
    bool wait_for(std::unique_lock<ReaderMutex>& lock, std::chrono::milliseconds limit,
                  Ready ready) {
        const auto deadline = std::chrono::steady_clock::now() + limit;
        while (!ready()) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                deadline - std::chrono::steady_clock::now());
            if (left.count() <= 0) {
                return false;
            }
            SleepConditionVariableSRW(&condition_, lock.mutex()->native(), DWORD(left.count()), 0);
        }
        return true;
    }

private:
    CONDITION_VARIABLE condition_ = CONDITION_VARIABLE_INIT;
};

// A thread with a small stack: the readings need little. Under Wine the C++ library's default
// (the program's 2 MB) showed as a megabyte more resident memory, and Wine writes the whole of
// even a small stack (it makes it 1 MB) before the thread runs: the thread gives that back first.
class ReaderThread {
public:
    ReaderThread() = default;
    ReaderThread(const ReaderThread&) = delete;
    ReaderThread& operator=(const ReaderThread&) = delete;
    ~ReaderThread() { join(); }

    bool joinable() const { return handle_ != nullptr; }

    template <typename Owner, void (Owner::*Run)()> void start(Owner* owner) {
        handle_ = CreateThread(
            nullptr, 64 * 1024,
            [](void* context) -> DWORD {
                ReleaseUnusedStack();
                (static_cast<Owner*>(context)->*Run)();
                return 0;
            },
            owner, STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr);
    }

    void join() {
        if (handle_) {
            WaitForSingleObject(handle_, INFINITE);
            CloseHandle(handle_);
            handle_ = nullptr;
        }
    }

private:
    HANDLE handle_ = nullptr;
};
#else
using ReaderMutex = std::mutex;
using ReaderCondition = std::condition_variable;

class ReaderThread {
public:
    bool joinable() const { return thread_.joinable(); }
    void join() { thread_.join(); }
    template <typename Owner, void (Owner::*Run)()> void start(Owner* owner) {
        thread_ = std::thread([owner] { (owner->*Run)(); });
    }

private:
    std::thread thread_;
};
#endif

} // namespace detail

// Makes a slow reading on a thread of its own, one reading per request, and hands the newest
// finished one over without waiting, so the asking thread never blocks on the slow source. A
// reading is a value that goes in as the question (which source) and comes back as the answer.
// After the first request nothing here touches the heap.
template <typename Reading> class BackgroundReader {
public:
    // Fills the reading in place; false when the source could not be read.
    using Read = std::function<bool(Reading&)>;

    explicit BackgroundReader(Read read) : read_(std::move(read)) {}
    BackgroundReader(const BackgroundReader&) = delete;
    BackgroundReader& operator=(const BackgroundReader&) = delete;

    ~BackgroundReader() {
        {
            std::lock_guard<detail::ReaderMutex> lock(mutex_);
            stopping_ = true;
        }
        changed_.notify_all();
        if (worker_.joinable()) {
            worker_.join();
        }
    }

    // Starts a reading of `question` unless one is already under way (then this one is dropped:
    // the caller asks again on its next round).
    void Request(const Reading& question) {
        {
            std::lock_guard<detail::ReaderMutex> lock(mutex_);
            if (pending_) {
                return;
            }
            pending_ = true;
            question_ = question;
            questionGeneration_ = generation_;
        }
        if (!worker_.joinable()) {
            worker_.template start<BackgroundReader, &BackgroundReader::Work>(this);
        }
        changed_.notify_all();
    }

    // Moves the newest finished reading into `answer` if it was not taken before. Empty when
    // nothing new has finished; otherwise whether the reading succeeded.
    std::optional<bool> Take(Reading& answer) {
        std::lock_guard<detail::ReaderMutex> lock(mutex_);
        if (!fresh_) {
            return std::nullopt;
        }
        fresh_ = false;
        answer = answer_;
        return succeeded_;
    }

    // The source changed: readings asked for or finished before now are never handed over, and
    // `answer` (made by the caller, from the new source) is the newest.
    void Replace(const Reading& answer, bool succeeded) {
        std::lock_guard<detail::ReaderMutex> lock(mutex_);
        ++generation_;
        Publish(answer, succeeded);
    }

    // Waits until no reading is under way; false if the limit passed first.
    bool AwaitIdle(std::chrono::milliseconds limit) {
        std::unique_lock<detail::ReaderMutex> lock(mutex_);
        return changed_.wait_for(lock, limit, [this] { return !pending_; });
    }

private:
    void Work() {
        std::unique_lock<detail::ReaderMutex> lock(mutex_);
        for (;;) {
            changed_.wait(lock, [this] { return stopping_ || pending_; });
            if (stopping_) {
                return;
            }
            Reading reading = question_;
            const uint64_t generation = questionGeneration_;
            lock.unlock();
            const bool succeeded = read_(reading);
            lock.lock();
            pending_ = false;
            if (generation == generation_) {
                Publish(reading, succeeded);
            }
            changed_.notify_all();
        }
    }

    void Publish(const Reading& answer, bool succeeded) {
        answer_ = answer;
        succeeded_ = succeeded;
        fresh_ = true;
    }

    Read read_;
    detail::ReaderMutex mutex_;
    detail::ReaderCondition changed_;
    detail::ReaderThread worker_;
    Reading question_{};
    Reading answer_{};
    uint64_t generation_ = 0;
    uint64_t questionGeneration_ = 0;
    bool pending_ = false;
    bool succeeded_ = false;
    bool fresh_ = false;
    bool stopping_ = false;
};

} // namespace qv
