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
        // Both: not every WinINet honours the data receive time-out on a session.
        for (const DWORD option :
             {INTERNET_OPTION_DATA_RECEIVE_TIMEOUT, INTERNET_OPTION_RECEIVE_TIMEOUT}) {
            DWORD timeout = receiveTimeout;
            InternetSetOptionA(session->Handle(), option, &timeout, sizeof timeout);
        }
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
    const ULONGLONG deadline = totalTime ? GetTickCount64() + totalTime : ~ULONGLONG(0);
    const ULONGLONG openStart = GetTickCount64();
    HttpGet file = session_->OpenUrl(url, {receiveTimeout, receiveTimeout, receiveTimeout});
    if (!file.request) {
        session_->ShowFetchStatus("%s", FailureText(file.error, openStart).c_str());
        return false;
    }
    const bool received = ReceiveBody(file.request.get(), result, deadline);
    if (received) {
        StoreResponseInfo(file.request.get());
    }
    session_->CloseFile(file);
    // Last, so that no closing notification hides the outcome.
    session_->ShowFetchStatus("%s", received ? "" : errorText_.c_str());
    return received;
}

bool CWebGrab::ReceiveBody(HINTERNET file, std::string& result, ULONGLONG deadline) {
    const int64_t start = ClockSeconds();
    char buffer[kChunkSize + 1];
    uint32_t total = 0;
    for (;;) {
        DWORD read = 0;
        const bool whole = ReadChunk(file, buffer, read, deadline);
        if (maxBytes != 0 && result.size() + read > maxBytes) {
            result.append(buffer, maxBytes - result.size());
            errorText_ = FormatStatusLine("Stopped: the page is larger than %lu KB",
                                          static_cast<unsigned long>(maxBytes / 1024));
            return false;
        }
        result.append(buffer, read);
        if (!whole) {
            return false;
        }
        if (read == 0) {
            return true;
        }
        total += read;
        const std::string line = ProgressLine(total, ClockSeconds() - start, progressFigure_);
        session_->ShowFetchStatus("%s", line.c_str());
    }
}

// A chunk is made of as many reads as the bytes take to arrive, so that a server that trickles
// is measured against the deadline between them. False when the transfer broke or ran late,
// with the reason in the error text; the bytes read are in the buffer either way.
bool CWebGrab::ReadChunk(HINTERNET file, char* buffer, DWORD& filled, ULONGLONG deadline) {
    filled = 0;
    while (filled < kChunkSize) {
        if (GetTickCount64() >= deadline) {
            errorText_ = FormatStatusLine("Stopped: the page took longer than %lu s",
                                          static_cast<unsigned long>(totalTime / 1000));
            return false;
        }
        DWORD read = 0;
        DWORD error = 0;
        const ULONGLONG readStart = GetTickCount64();
        if (!session_->Read(file, buffer + filled, kChunkSize - filled, read, error)) {
            errorText_ = FailureText(error, readStart);
            return false;
        }
        if (read == 0) {
            return true;
        }
        filled += read;
    }
    return true;
}

// Wine reports a wait that ran out differently at each stage (a socket error, a connection
// ended), so the length of the wait tells; the system's clock may fire a little early.
std::string CWebGrab::FailureText(DWORD error, ULONGLONG waitStart) const {
    if (receiveTimeout != 0 &&
        GetTickCount64() - waitStart >= receiveTimeout - receiveTimeout / 10) {
        return FormatStatusLine("Stopped: the site sent nothing for %lu s",
                                static_cast<unsigned long>(receiveTimeout / 1000));
    }
    return InternetErrorText(error);
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
