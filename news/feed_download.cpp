#include "news/feed_download.h"

#include <windows.h>
#include <wininet.h>

#include <cstdlib>

#include "framework/handles.h"
#include "news/file_handle.h"

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

struct FeedRequest {
    UniqueInternet connection;
    UniqueInternet request;
};

void SetTimeout(HINTERNET handle, DWORD option, uint32_t milliseconds) {
    DWORD value = milliseconds;
    InternetSetOptionA(handle, option, &value, sizeof value);
}

// Connection and request are made one by one, so that the time limits are on the request
// before it is sent: only then do they hold for the wait for the answer and its body.
FeedRequest SendFeedRequest(HINTERNET session, const std::string& url,
                            const FeedDownloadLimits& limits) {
    FeedRequest feed;
    URL_COMPONENTSA parts{};
    parts.dwStructSize = sizeof parts;
    parts.dwHostNameLength = 1; // ask for pointers into the URL
    parts.dwUrlPathLength = 1;
    parts.dwExtraInfoLength = 1;
    if (!session || url.empty() || !InternetCrackUrlA(url.c_str(), DWORD(url.size()), 0, &parts) ||
        (parts.nScheme != INTERNET_SCHEME_HTTP && parts.nScheme != INTERNET_SCHEME_HTTPS)) {
        return feed;
    }
    const std::string host(parts.lpszHostName, parts.dwHostNameLength);
    std::string object(1, '/');
    if (parts.lpszUrlPath && parts.dwUrlPathLength > 0) {
        object.assign(parts.lpszUrlPath, parts.dwUrlPathLength);
    }
    if (parts.lpszExtraInfo && parts.dwExtraInfoLength > 0) {
        object.append(parts.lpszExtraInfo, parts.dwExtraInfoLength);
    }
    feed.connection.reset(InternetConnectA(session, host.c_str(), parts.nPort, nullptr, nullptr,
                                           INTERNET_SERVICE_HTTP, 0, 0));
    if (!feed.connection) {
        return feed;
    }
    const DWORD secure = parts.nScheme == INTERNET_SCHEME_HTTPS ? INTERNET_FLAG_SECURE : 0;
    feed.request.reset(HttpOpenRequestA(feed.connection.get(), "GET", object.c_str(), nullptr,
                                        nullptr, nullptr, kRequestFlags | secure, 0));
    if (!feed.request) {
        return feed;
    }
    SetTimeout(feed.request.get(), INTERNET_OPTION_CONNECT_TIMEOUT, limits.connectTimeoutMs);
    SetTimeout(feed.request.get(), INTERNET_OPTION_SEND_TIMEOUT, limits.receiveTimeoutMs);
    SetTimeout(feed.request.get(), INTERNET_OPTION_RECEIVE_TIMEOUT, limits.receiveTimeoutMs);
    if (!HttpSendRequestA(feed.request.get(), nullptr, 0, nullptr, 0)) {
        feed.request.reset();
    }
    return feed;
}

} // namespace

std::string DownloadPathFor(const std::string& feedPath) {
    return feedPath + ".download";
}

FeedDownloader::FeedDownloader(const FeedDownloadLimits& limits) : limits_(limits) {}

// The session is opened at the first feed that has a URL: a run without any sets up no
// networking at all.
bool FeedDownloader::Download(const std::string& url, const std::string& path) {
    if (url.empty()) {
        return false;
    }
    if (!session_) {
        session_.reset(InternetOpenA("Mozilla/5.0 (compatible; Quorvel)",
                                     INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
    }
    const FeedRequest feed = SendFeedRequest(session_.get(), url, limits_);
    const HINTERNET request = feed.request.get();
    if (!request || StatusCode(request) != HTTP_STATUS_OK) {
        return false;
    }
    const int64_t announced = ContentLength(request);
    if (announced > int64_t(limits_.maxBytes)) {
        return false;
    }
    const std::string partial = DownloadPathFor(path);
    bool complete = false;
    {
        const UniqueKernelHandle file =
            OwnFileHandle(CreateFileA(partial.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
        complete = file && WriteBody(request, file.get());
        if (complete && announced >= 0) {
            LARGE_INTEGER size{};
            complete = GetFileSizeEx(file.get(), &size) && size.QuadPart == announced;
        }
    }
    if (complete && MoveFileExA(partial.c_str(), path.c_str(),
                                MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        return true;
    }
    DeleteFileA(partial.c_str());
    return false;
}

// Reads what has arrived, as it arrives, so that a slow server is only waited for as long as
// the limits allow; a reset or a timeout shows as a failed read.
bool FeedDownloader::WriteBody(HINTERNET request, HANDLE file) const {
    static constexpr DWORD kChunk = 64 * 1024;
    char buffer[kChunk];
    const ULONGLONG deadline = GetTickCount64() + limits_.totalTimeMs;
    uint64_t total = 0;
    for (;;) {
        DWORD available = 0;
        if (!InternetQueryDataAvailable(request, &available, 0, 0)) {
            return false;
        }
        DWORD read = 0;
        if (!InternetReadFile(request, buffer,
                              available < kChunk ? (available ? available : 1) : kChunk, &read)) {
            return false;
        }
        if (read == 0) {
            return true;
        }
        total += read;
        if (total > limits_.maxBytes || GetTickCount64() > deadline ||
            !WriteAll(file, buffer, read)) {
            return false;
        }
    }
}

} // namespace qv
