#pragma once

#include <windows.h>

#include <string>

#include "framework/http_get.h"
#include "framework/internet_handle.h"

namespace qv {

// The internet session of a fetcher: user agent "Mozilla Firefox", the system's proxy settings,
// and every stage of a fetch shown as a status line in a window the caller names.
class CWebGrabSession {
public:
    // With a proxy ("host:port") the session uses it instead of the system's settings.
    explicit CWebGrabSession(HWND statusWindow, const char* proxy = nullptr);
    CWebGrabSession(const CWebGrabSession&) = delete;
    CWebGrabSession& operator=(const CWebGrabSession&) = delete;
    ~CWebGrabSession();

    bool IsOpen() const { return bool(handle_); }
    HINTERNET Handle() const { return handle_.get(); }
    void Close();

    // Sends a GET for url under the time limits given; the request is empty, with the WinINet
    // error, when that fails.
    HttpGet OpenUrl(const std::string& url, const HttpTimeouts& timeouts);
    // One read of the body: waits for the next bytes (as long as the receive time-out lets it)
    // and takes at most `size` of those that have arrived, 0 at the end of the body; false with
    // the error in `error` when the transfer broke.
    bool Read(HINTERNET file, char* buffer, DWORD size, DWORD& read, DWORD& error);
    void CloseFile(HttpGet& file);

    void SetStatusWindow(HWND window) { statusWindow_ = window; }
    const std::string& LastStatus() const { return lastStatus_; }

    // Formats a line (printf rules, at most 511 characters), keeps it and shows it at once.
    void ShowFetchStatus(const char* format, ...) __attribute__((format(printf, 2, 3)));
    // WinINet's notification of a stage of the fetch.
    void OnFetchStatus(DWORD_PTR context, DWORD status, const void* information,
                       DWORD informationLength);

    // The context value of every request of the session.
    static constexpr DWORD_PTR kContext = 1;

private:
    static void CALLBACK StatusCallback(HINTERNET handle, DWORD_PTR context, DWORD status,
                                        void* information, DWORD informationLength);
    void ShowLine(std::string line);

    UniqueInternet handle_;
    HWND statusWindow_;
    std::string lastStatus_;
};

} // namespace qv
