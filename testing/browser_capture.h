#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace qv::testing {

// While it lives, Wine's browser launcher (winebrowser, which the shell runs for http URLs)
// starts a small recorder instead of a browser, so a test sees exactly the URLs the program
// asked the shell to open, in order. Under Wine only.
class BrowserCapture {
public:
    BrowserCapture();
    BrowserCapture(const BrowserCapture&) = delete;
    BrowserCapture& operator=(const BrowserCapture&) = delete;
    ~BrowserCapture();

    // Handles messages until that many URLs have been recorded or the time is up; returns
    // everything recorded so far.
    std::vector<std::string> WaitForUrls(size_t count, DWORD timeoutMs = 60000) const;
    // After the actions that must open nothing: opens a marker URL and returns what was
    // recorded up to and including it, so "nothing else" needs no fixed wait.
    std::vector<std::string> UrlsUpToMarker() const;

private:
    std::vector<std::string> Recorded() const;

    std::string folder_;
    std::string scriptPath_;
    std::string recordPath_;
    std::wstring previousBrowsers_;
    bool hadBrowsers_ = false;
};

inline constexpr const char* kCaptureMarkerUrl = "http://marker.invalid/end";

} // namespace qv::testing
