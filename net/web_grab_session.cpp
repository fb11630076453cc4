#include "net/web_grab_session.h"

#include <utility>

#include "framework/http_get.h"
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
    connection_.reset();
    handle_.reset();
}

// On the session, where the platform offers it, and on each request before it is sent: not
// every WinINet passes a session's time-out on to its requests (Wine does not).
void CWebGrabSession::SetReceiveTimeout(DWORD milliseconds) {
    for (const DWORD option :
         {INTERNET_OPTION_DATA_RECEIVE_TIMEOUT, INTERNET_OPTION_RECEIVE_TIMEOUT}) {
        DWORD timeout = milliseconds;
        InternetSetOptionA(handle_.get(), option, &timeout, sizeof timeout);
    }
    receiveTimeout_ = milliseconds;
}

UniqueInternet CWebGrabSession::OpenUrl(const std::string& url, DWORD& error) {
    NotifyingScope scope(this);
    // A search must reach the site every time, and its pages need not fill the cache.
    constexpr DWORD flags =
        INTERNET_FLAG_TRANSFER_BINARY | INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE;
    HttpGet get = SendHttpGet(handle_.get(), url, flags, kContext, {0, 0, receiveTimeout_});
    error = get.error;
    connection_ = std::move(get.connection);
    return std::move(get.request);
}

bool CWebGrabSession::Read(HINTERNET file, char* buffer, DWORD size, DWORD& read, DWORD& error) {
    NotifyingScope scope(this);
    read = 0;
    const bool ok = InternetReadFile(file, buffer, size, &read) != FALSE;
    error = ok ? 0 : GetLastError();
    return ok;
}

void CWebGrabSession::CloseFile(UniqueInternet& file) {
    NotifyingScope scope(this);
    file.reset();
    connection_.reset();
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
