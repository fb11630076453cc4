#include "news/feed_download.h"

#include <windows.h>
#include <wininet.h>

#include <cstdlib>

#include "framework/handles.h"
#include "news/file_handle.h"

namespace qv {

namespace {

inline void CloseInternetHandle(HINTERNET handle) {
    InternetCloseHandle(handle);
}
using UniqueInternetHandle = Unique<HINTERNET, &CloseInternetHandle>;

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

} // namespace

std::string DownloadPathFor(const std::string& feedPath) {
    return feedPath + ".download";
}

FeedDownloader::FeedDownloader(const FeedDownloadLimits& limits) : limits_(limits) {
    session_ = InternetOpenA("Mozilla/5.0 (compatible; Quorvel)", INTERNET_OPEN_TYPE_PRECONFIG,
                             nullptr, nullptr, 0);
    if (!session_) {
        return;
    }
    DWORD connect = limits_.connectTimeoutMs;
    DWORD receive = limits_.receiveTimeoutMs;
    InternetSetOptionA(session_, INTERNET_OPTION_CONNECT_TIMEOUT, &connect, sizeof connect);
    InternetSetOptionA(session_, INTERNET_OPTION_RECEIVE_TIMEOUT, &receive, sizeof receive);
    InternetSetOptionA(session_, INTERNET_OPTION_DATA_RECEIVE_TIMEOUT, &receive, sizeof receive);
}

FeedDownloader::~FeedDownloader() {
    if (session_) {
        InternetCloseHandle(session_);
    }
}

bool FeedDownloader::Download(const std::string& url, const std::string& path) const {
    if (!session_ || url.empty()) {
        return false;
    }
    const UniqueInternetHandle request(
        InternetOpenUrlA(session_, url.c_str(), nullptr, 0, kRequestFlags, 0));
    if (!request || StatusCode(request.get()) != HTTP_STATUS_OK) {
        return false;
    }
    const int64_t announced = ContentLength(request.get());
    if (announced > int64_t(limits_.maxBytes)) {
        return false;
    }
    const std::string partial = DownloadPathFor(path);
    bool complete = false;
    {
        const UniqueKernelHandle file =
            OwnFileHandle(CreateFileA(partial.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
        complete = file && WriteBody(request.get(), file.get());
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
bool FeedDownloader::WriteBody(void* request, void* file) const {
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
