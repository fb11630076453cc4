#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>

#include "net/web_grab_session.h"

namespace qv {

// Fetches web pages over HTTP into memory, synchronously, showing each stage and the running
// rate in a status window. One fetcher serves one caller's job; its session is kept between
// fetches.
class CWebGrab {
public:
    CWebGrab() = default;
    CWebGrab(const CWebGrab&) = delete;
    CWebGrab& operator=(const CWebGrab&) = delete;

    // Replaces the session; true when one exists afterwards.
    bool OpenFetchSession(HWND statusWindow);
    // Fetches `url` into `result`. False when the URL could not be opened (result empty) or
    // the transfer broke (result keeps what arrived). An HTTP error status is no failure.
    bool FetchUrl(const std::string& url, std::string& result, HWND statusWindow);

    // Options for the next session; the defaults use the system's proxy and time-outs.
    DWORD receiveTimeout = 0; // milliseconds, for a connection and each wait for bytes; 0 keeps
                              // the system's
    bool useProxy = false;
    int32_t proxyPort = 0;
    std::string proxyHost;
    // Bounds on each fetch; 0 sets none. A fetch that reaches one stops as if the transfer
    // broke, keeping what arrived (at most maxBytes).
    DWORD totalTime = 0; // milliseconds from the start of the fetch
    size_t maxBytes = 0;

    CWebGrabSession* Session() const { return session_.get(); }
    // Of the last completed fetch: 0 and empty after a failed one.
    DWORD HttpStatus() const { return httpStatus_; }
    const std::string& RawHeaders() const { return rawHeaders_; }
    // The message of the last transfer that broke; a later fetch does not clear it.
    const std::string& ErrorText() const { return errorText_; }
    // After each chunk: the rate in KB/s, or the byte count within the first second.
    double ProgressFigure() const { return progressFigure_; }

private:
    bool ReceiveBody(HINTERNET file, std::string& result, ULONGLONG deadline);
    bool ReadChunk(HINTERNET file, char* buffer, DWORD& filled, ULONGLONG deadline);
    void StoreResponseInfo(HINTERNET file);
    std::string FailureText(DWORD error, ULONGLONG waitStart) const;

    std::unique_ptr<CWebGrabSession> session_;
    double progressFigure_ = 0;
    DWORD httpStatus_ = 0;
    std::string errorText_;
    std::string rawHeaders_;
};

} // namespace qv
