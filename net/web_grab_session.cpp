#include "net/web_grab_session.h"

#include <algorithm>
#include <utility>

#include "net/fetch_status.h"

namespace qv {

namespace {

// The session whose WinINet call is running on this thread. A synchronous session's
// notifications arrive on the calling thread during the call, and those of a request's handles
// carry only the request's context value, not the session.
thread_local CWebGrabSession* notifiedSession = nullptr;

class NotifyingScope {
public:
    explicit NotifyingScope(CWebGrabSession* session)
        : previous_(std::exchange(notifiedSession, session)) {}
    NotifyingScope(const NotifyingScope&) = delete;
    NotifyingScope& operator=(const NotifyingScope&) = delete;
    ~NotifyingScope() { notifiedSession = previous_; }

private:
    CWebGrabSession* previous_;
};

} // namespace

// The proxy is given at the opening: not every WinINet honours INTERNET_OPTION_PROXY set on an
// open session (Wine ignores it).
CWebGrabSession::CWebGrabSession(HWND statusWindow, const char* proxy)
    : handle_(InternetOpenA("Mozilla Firefox",
                            proxy ? INTERNET_OPEN_TYPE_PROXY : INTERNET_OPEN_TYPE_PRECONFIG, proxy,
                            nullptr, 0)),
      statusWindow_(statusWindow) {
    if (handle_) {
        // Without it the fetch simply runs without status lines.
        InternetSetStatusCallbackA(handle_.get(), &CWebGrabSession::StatusCallback);
    }
}

CWebGrabSession::~CWebGrabSession() {
    Close();
}

void CWebGrabSession::Close() {
    NotifyingScope scope(this);
    handle_.reset();
}

HttpGet CWebGrabSession::OpenUrl(const std::string& url, const HttpTimeouts& timeouts) {
    NotifyingScope scope(this);
    // A search must reach the site every time, and its pages need not fill the cache.
    constexpr DWORD flags =
        INTERNET_FLAG_TRANSFER_BINARY | INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE;
    return SendHttpGet(handle_.get(), url, flags, kContext, timeouts);
}

// A read asks only for what has arrived: a read of more waits until it all has, however slowly
// it trickles in.
bool CWebGrabSession::Read(HINTERNET file, char* buffer, DWORD size, DWORD& read, DWORD& error) {
    NotifyingScope scope(this);
    read = 0;
    DWORD available = 0;
    // Nothing available is the end of the body; the read of one byte then confirms it.
    const bool ok = InternetQueryDataAvailable(file, &available, 0, 0) &&
                    InternetReadFile(file, buffer, std::clamp<DWORD>(available, 1, size), &read);
    error = ok ? 0 : GetLastError();
    return ok;
}

void CWebGrabSession::CloseFile(HttpGet& file) {
    NotifyingScope scope(this);
    file.request.reset();
    file.connection.reset();
}

void CWebGrabSession::ShowFetchStatus(const char* format, ...) {
    va_list arguments;
    va_start(arguments, format);
    std::string line = FormatStatusLineV(format, arguments);
    va_end(arguments);
    ShowLine(std::move(line));
}

void CWebGrabSession::OnFetchStatus(DWORD_PTR, DWORD status, const void* information,
                                    DWORD informationLength) {
    if (auto line = FetchStatusLine(status, information, informationLength)) {
        ShowLine(std::move(*line));
    }
}

void CWebGrabSession::ShowLine(std::string line) {
    lastStatus_ = std::move(line);
    if (statusWindow_) {
        SetWindowTextA(statusWindow_, lastStatus_.c_str());
        // The fetch holds the GUI thread: nothing else would repaint the window now.
        RedrawWindow(statusWindow_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    }
}

void CALLBACK CWebGrabSession::StatusCallback(HINTERNET, DWORD_PTR context, DWORD status,
                                              void* information, DWORD informationLength) {
    if (notifiedSession) {
        notifiedSession->OnFetchStatus(context, status, information, informationLength);
    }
}

} // namespace qv
