#include "net/web_grab.h"

#include <ctime>

#include "net/fetch_status.h"

namespace qv {

namespace {

constexpr DWORD kChunkSize = 4095;
constexpr size_t kLongestErrorText = 255;

// WinINet's errors have their texts in wininet.dll, the others in the system.
std::string InternetErrorText(DWORD error) {
    char text[kLongestErrorText + 1] = {};
    const HMODULE wininet = GetModuleHandleA("wininet.dll");
    const DWORD flags = FORMAT_MESSAGE_IGNORE_INSERTS |
                        (wininet ? FORMAT_MESSAGE_FROM_HMODULE | FORMAT_MESSAGE_FROM_SYSTEM
                                 : FORMAT_MESSAGE_FROM_SYSTEM);
    DWORD length = FormatMessageA(flags, wininet, error, 0, text, sizeof text, nullptr);
    while (length > 0 && (text[length - 1] == '\n' || text[length - 1] == '\r')) {
        text[--length] = '\0';
    }
    if (length == 0) {
        return FormatStatusLine("Internet error %lu", static_cast<unsigned long>(error));
    }
    return text;
}

int64_t ClockSeconds() {
    return int64_t(std::time(nullptr));
}

std::string QueryRawHeaders(HINTERNET file) {
    DWORD size = 0;
    HttpQueryInfoA(file, HTTP_QUERY_RAW_HEADERS_CRLF, nullptr, &size, nullptr);
    if (GetLastError() != ERROR_INSUFFICIENT_BUFFER || size == 0) {
        return {};
    }
    std::string headers(size, '\0');
    if (!HttpQueryInfoA(file, HTTP_QUERY_RAW_HEADERS_CRLF, headers.data(), &size, nullptr)) {
        return {};
    }
    headers.resize(size);
    return headers;
}

} // namespace

bool CWebGrab::OpenFetchSession(HWND statusWindow) {
    session_.reset();
    httpStatus_ = 0;
    const std::string proxy = proxyHost + ":" + std::to_string(proxyPort);
    auto session =
        std::make_unique<CWebGrabSession>(statusWindow, useProxy ? proxy.c_str() : nullptr);
    if (!session->IsOpen()) {
        return false;
    }
    if (receiveTimeout != 0) {
        session->SetReceiveTimeout(receiveTimeout);
    }
    session_ = std::move(session);
    return true;
}

bool CWebGrab::FetchUrl(const std::string& url, std::string& result, HWND statusWindow) {
    rawHeaders_.clear();
    httpStatus_ = 0;
    result.clear();
    if (!session_ && !OpenFetchSession(statusWindow)) {
        return false;
    }
    if (statusWindow) {
        session_->SetStatusWindow(statusWindow);
    }
    DWORD error = 0;
    UniqueInternet file = session_->OpenUrl(url, error);
    if (!file) {
        session_->ShowFetchStatus("%s", InternetErrorText(error).c_str());
        return false;
    }
    const bool received = ReceiveBody(file.get(), result);
    if (received) {
        StoreResponseInfo(file.get());
    }
    session_->CloseFile(file);
    // Last, so that no closing notification hides the outcome.
    session_->ShowFetchStatus("%s", received ? "" : errorText_.c_str());
    return received;
}

bool CWebGrab::ReceiveBody(HINTERNET file, std::string& result) {
    const int64_t start = ClockSeconds();
    char buffer[kChunkSize + 1];
    uint32_t total = 0;
    for (;;) {
        DWORD read = 0;
        DWORD error = 0;
        if (!session_->Read(file, buffer, kChunkSize, read, error)) {
            errorText_ = InternetErrorText(error);
            return false;
        }
        if (read == 0) {
            return true;
        }
        result.append(buffer, read);
        total += read;
        const std::string line = ProgressLine(total, ClockSeconds() - start, progressFigure_);
        session_->ShowFetchStatus("%s", line.c_str());
    }
}

void CWebGrab::StoreResponseInfo(HINTERNET file) {
    DWORD status = 0;
    DWORD size = sizeof status;
    if (HttpQueryInfoA(file, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &size,
                       nullptr)) {
        httpStatus_ = status;
    }
    rawHeaders_ = QueryRawHeaders(file);
}

} // namespace qv
