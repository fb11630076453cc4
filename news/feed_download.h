#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "framework/http_get.h"
#include "framework/internet_handle.h"
#include "news/feed_schedule.h"

namespace qv {

// Bounds on one feed download, so that a stalled or endless server cannot hold the runs up.
struct FeedDownloadLimits {
    uint32_t connectTimeoutMs = 30000;
    uint32_t receiveTimeoutMs = 30000; // the longest wait for the next bytes
    uint32_t totalTimeMs = 120000;
    // Feeds run to a few megabytes; a bigger body is no feed.
    uint64_t maxBytes = uint64_t(16) << 20;
};

// What the reply's headers say of its body: its content coding and its charset.
struct ReplyForm {
    std::string contentEncoding;
    std::string charset;
};

// One WinINet session for the downloads of a run.
class FeedDownloader {
public:
    explicit FeedDownloader(const FeedDownloadLimits& limits);
    FeedDownloader(const FeedDownloader&) = delete;
    FeedDownloader& operator=(const FeedDownloader&) = delete;

    // Asks the server itself (never the local internet cache) for url and writes the body to a
    // temporary file beside path, which takes path's place only when the whole body arrived
    // with status 200. A gzip- or deflate-coded body is stored decoded, and one whose bytes
    // name no encoding while the reply's charset does is stored as UTF-8. A "file:" URL names a
    // local feed, copied the same way. Any failure leaves path as it was, byte for byte.
    bool Download(const std::string& url, const std::string& path);
    // The same, sending the validators given: a 304 leaves the file as it is. Tells how it
    // ended, with the new body's validators or the Retry-After of a 429 or 503.
    FeedAnswer Fetch(const std::string& url, const std::string& path,
                     const FeedValidators& validators);

private:
    HttpGet AskForFeed(const std::string& url, AcceptedCoding coding,
                       const FeedValidators& validators);
    FeedAnswer AnswerOf(HINTERNET request, const std::string& path, bool validated) const;
    bool SaveReply(HINTERNET request, const std::string& path) const;
    bool CopyLocalFeed(const std::string& url, const std::string& path) const;
    template <typename ReadChunk>
    bool SaveWhole(const std::string& path, int64_t announced, const ReplyForm& form,
                   ReadChunk readChunk) const;
    template <typename ReadChunk> bool WriteChunks(HANDLE file, ReadChunk& readChunk) const;

    FeedDownloadLimits limits_;
    UniqueInternet session_;
};

// The temporary file a feed file is downloaded into.
std::string DownloadPathFor(const std::string& feedPath);

} // namespace qv
