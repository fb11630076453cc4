#include "news/feed_download.h"

#include <windows.h>
#include <shlwapi.h>
#include <wininet.h>

#include <algorithm>
#include <cstdlib>
#include <memory>

#include "framework/handles.h"
#include "framework/http_get.h"
#include "framework/whole_file.h"
#include "framework/wide_text.h"
#include "news/content_coding.h"
#include "news/feed_encoding.h"
#include "news/feed_file.h"

namespace qv {

namespace {

constexpr DWORD kRequestFlags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE |
                                INTERNET_FLAG_PRAGMA_NOCACHE | INTERNET_FLAG_NO_UI |
                                INTERNET_FLAG_NO_COOKIES;

DWORD StatusCode(HINTERNET request) {
    DWORD status = 0;
    DWORD size = sizeof status;
    if (!HttpQueryInfoA(request, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &size,
                        nullptr)) {
        return 0;
    }
    return status;
}

// A Content-Type can carry long parameters before its charset; its ending zero counts. Kept
// below the 4 KiB header line that Wine reads, so that both sides of it can be tried.
constexpr DWORD kMaxHeaderBytes = 2048;

// A header up to the bound; empty when the reply has none, or one beyond the bound.
std::string HeaderText(HINTERNET request, DWORD header) {
    std::string text(256, '\0');
    for (;;) {
        DWORD size = DWORD(text.size());
        if (HttpQueryInfoA(request, header, text.data(), &size, nullptr)) {
            text.resize(size);
            return text;
        }
        if (GetLastError() != ERROR_INSUFFICIENT_BUFFER || size <= text.size() ||
            size > kMaxHeaderBytes) {
            return {};
        }
        text.resize(size); // the size asked for, its terminating zero included
    }
}

// The announced body length; -1 when the server gave none.
int64_t ContentLength(HINTERNET request) {
    char text[32] = {};
    DWORD size = sizeof text - 1;
    if (!HttpQueryInfoA(request, HTTP_QUERY_CONTENT_LENGTH, text, &size, nullptr)) {
        return -1;
    }
    char* end = nullptr;
    const long long length = std::strtoll(text, &end, 10);
    return end != text && length >= 0 ? length : -1;
}

bool WriteAll(HANDLE file, const char* bytes, DWORD count) {
    DWORD written = 0;
    return WriteFile(file, bytes, count, &written, nullptr) && written == count;
}

// The body as it came, whole, made a feed file: decoded from its content coding (false when it
// is not whole and intact after all), and, when its bytes name no encoding but the reply does,
// kept as UTF-8 with a mark, so that the file reads the same without the reply.
bool MakeFeedFile(const std::string& path, const ReplyForm& form, uint64_t maxBytes) {
    FileError error = 0;
    const std::optional<std::string> body = ReadWholeFileCreatingIt(path, error);
    const std::optional<std::string> feed =
        body ? DecodeContent(*body, form.contentEncoding, size_t(maxBytes)) : std::nullopt;
    if (!feed) {
        return false;
    }
    const std::optional<std::string> utf8 = FeedBytesForReplyCharset(*feed, form.charset);
    if (utf8) {
        return WriteWholeFile(path, *utf8) == 0;
    }
    return *feed == *body || WriteWholeFile(path, *feed) == 0;
}

FeedAnswer Ending(FetchOutcome outcome, std::string retryAfter = {}) {
    FeedAnswer answer;
    answer.outcome = outcome;
    answer.retryAfter = std::move(retryAfter);
    return answer;
}

// The validators of the file as conditions: a server whose feed has not changed answers 304.
std::string ValidatorHeaders(const FeedValidators& validators) {
    std::string headers;
    if (!validators.etag.empty()) {
        headers += "If-None-Match: " + validators.etag + "\r\n";
    }
    if (!validators.lastModified.empty()) {
        headers += "If-Modified-Since: " + validators.lastModified + "\r\n";
    }
    return headers;
}

} // namespace

std::string DownloadPathFor(const std::string& feedPath) {
    return feedPath + ".download";
}

FeedDownloader::FeedDownloader(const FeedDownloadLimits& limits) : limits_(limits) {}

bool FeedDownloader::Download(const std::string& url, const std::string& path) {
    return Fetch(url, path, {}).outcome == FetchOutcome::Updated;
}

FeedAnswer FeedDownloader::Fetch(const std::string& url, const std::string& path,
                                 const FeedValidators& validators) {
    if (url.empty()) {
        return {};
    }
    if (UrlIsFileUrlA(url.c_str())) {
        return Ending(CopyLocalFeed(url, path) ? FetchOutcome::Updated : FetchOutcome::Failed);
    }
    HttpGet feed = AskForFeed(url, AcceptedCoding::Compressed, validators);
    // A coding never asked for (br, say) cannot be undone: the server is asked once more for the
    // body as it is. A reply still coded so keeps the old file.
    if (feed.request && StatusCode(feed.request.get()) == HTTP_STATUS_OK &&
        !IsKnownContentCoding(HeaderText(feed.request.get(), HTTP_QUERY_CONTENT_ENCODING))) {
        feed.request.reset();
        feed.connection.reset();
        feed = AskForFeed(url, AcceptedCoding::Identity, validators);
    }
    if (!feed.request) {
        return {};
    }
    return AnswerOf(feed.request.get(), path,
                    !validators.etag.empty() || !validators.lastModified.empty());
}

FeedAnswer FeedDownloader::AnswerOf(HINTERNET request, const std::string& path,
                                    bool validated) const {
    switch (StatusCode(request)) {
    case HTTP_STATUS_OK:
        if (!SaveReply(request, path)) {
            return {};
        }
        return {FetchOutcome::Updated,
                HeaderText(request, HTTP_QUERY_ETAG),
                HeaderText(request, HTTP_QUERY_LAST_MODIFIED),
                {},
                FeedFileIdentityAt(path)};
    case HTTP_STATUS_NOT_MODIFIED: // only an answer to the validators sent
        return Ending(validated ? FetchOutcome::NotModified : FetchOutcome::Failed);
    case 429:
    case HTTP_STATUS_SERVICE_UNAVAIL:
        return Ending(FetchOutcome::AskedToWait, HeaderText(request, HTTP_QUERY_RETRY_AFTER));
    default:
        return {};
    }
}

// The request sent; null when it could not be. The session is opened at the first feed that
// has a web URL: a run without any sets up no networking at all.
HttpGet FeedDownloader::AskForFeed(const std::string& url, AcceptedCoding coding,
                                   const FeedValidators& validators) {
    if (!session_) {
        session_.reset(InternetOpenA("Mozilla/5.0 (compatible; Quorvel)",
                                     INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
    }
    return SendHttpGet(
        session_.get(), url, kRequestFlags, 0,
        {limits_.connectTimeoutMs, limits_.receiveTimeoutMs, limits_.receiveTimeoutMs}, coding,
        ValidatorHeaders(validators));
}

bool FeedDownloader::SaveReply(HINTERNET request, const std::string& path) const {
    // Reads what has arrived, as it arrives, so that a slow server is only waited for as long
    // as the limits allow; a reset or a timeout shows as a failed read.
    const std::string contentType = HeaderText(request, HTTP_QUERY_CONTENT_TYPE);
    const ReplyForm form{HeaderText(request, HTTP_QUERY_CONTENT_ENCODING),
                         std::string(CharsetOfContentType(contentType))};
    return SaveWhole(path, ContentLength(request), form,
                     [request](char* buffer, DWORD size, DWORD& read) {
                         DWORD available = 0;
                         return InternetQueryDataAvailable(request, &available, 0, 0) &&
                                InternetReadFile(request, buffer,
                                                 available ? std::min(available, size) : 1, &read);
                     });
}

// A local feed goes the way of a downloaded one, so that its file too is replaced only whole.
bool FeedDownloader::CopyLocalFeed(const std::string& url, const std::string& path) const {
    wchar_t source[MAX_PATH] = {};
    DWORD length = MAX_PATH;
    if (FAILED(PathCreateFromUrlW(FromUtf8(url).c_str(), source, &length, 0))) {
        return false;
    }
    const UniqueKernelHandle from = OwnFileHandle(
        CreateFileW(source, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER size{};
    if (!from || !GetFileSizeEx(from.get(), &size)) {
        return false;
    }
    return SaveWhole(path, size.QuadPart, {}, [&from](char* buffer, DWORD size, DWORD& read) {
        return ReadFile(from.get(), buffer, size, &read, nullptr) != FALSE;
    });
}

// The body goes into a temporary file beside path, which takes path's place only when it is
// whole: within the limits and as long as announced (when it was). A read of 0 bytes ends it.
template <typename ReadChunk>
bool FeedDownloader::SaveWhole(const std::string& path, int64_t announced, const ReplyForm& form,
                               ReadChunk readChunk) const {
    if (announced > int64_t(limits_.maxBytes)) {
        return false;
    }
    const std::string partial = DownloadPathFor(path);
    bool complete = false;
    {
        const UniqueKernelHandle file =
            OwnFileHandle(CreateFileW(FromUtf8(partial).c_str(), GENERIC_WRITE, 0, nullptr,
                                      CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        complete = file && WriteChunks(file.get(), readChunk);
        if (complete && announced >= 0) {
            LARGE_INTEGER size{};
            complete = GetFileSizeEx(file.get(), &size) && size.QuadPart == announced;
        }
    }
    if (complete && (!form.contentEncoding.empty() || !form.charset.empty())) {
        complete = MakeFeedFile(partial, form, limits_.maxBytes);
    }
    if (complete && MoveFileExW(FromUtf8(partial).c_str(), FromUtf8(path).c_str(),
                                MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        return true;
    }
    DeleteFileW(FromUtf8(partial).c_str());
    return false;
}

template <typename ReadChunk>
bool FeedDownloader::WriteChunks(HANDLE file, ReadChunk& readChunk) const {
    static constexpr DWORD kChunk = 64 * 1024;
    const std::unique_ptr<char[]> buffer(new char[kChunk]);
    const ULONGLONG deadline = GetTickCount64() + limits_.totalTimeMs;
    uint64_t total = 0;
    for (;;) {
        DWORD read = 0;
        if (!readChunk(buffer.get(), kChunk, read)) {
            return false;
        }
        if (read == 0) {
            return true;
        }
        total += read;
        if (total > limits_.maxBytes || GetTickCount64() > deadline ||
            !WriteAll(file, buffer.get(), read)) {
            return false;
        }
    }
}

} // namespace qv
