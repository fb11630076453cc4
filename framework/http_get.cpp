#include "framework/http_get.h"

namespace qv {

namespace {

void SetTimeout(HINTERNET handle, DWORD option, DWORD milliseconds) {
    if (milliseconds != 0) {
        InternetSetOptionA(handle, option, &milliseconds, sizeof milliseconds);
    }
}

struct UrlParts {
    std::string host;
    std::string object = "/"; // path and query
    INTERNET_PORT port = 0;
    bool secure = false;
};

bool CrackHttpUrl(const std::string& url, UrlParts& parts, DWORD& error) {
    URL_COMPONENTSA cracked{};
    cracked.dwStructSize = sizeof cracked;
    cracked.dwHostNameLength = 1; // ask for pointers into the URL
    cracked.dwUrlPathLength = 1;
    cracked.dwExtraInfoLength = 1;
    if (url.empty() || !InternetCrackUrlA(url.c_str(), DWORD(url.size()), 0, &cracked)) {
        error = url.empty() ? DWORD(ERROR_INTERNET_INVALID_URL) : GetLastError();
        return false;
    }
    if (cracked.nScheme != INTERNET_SCHEME_HTTP && cracked.nScheme != INTERNET_SCHEME_HTTPS) {
        error = ERROR_INTERNET_UNRECOGNIZED_SCHEME;
        return false;
    }
    parts.host.assign(cracked.lpszHostName, cracked.dwHostNameLength);
    if (cracked.lpszUrlPath && cracked.dwUrlPathLength > 0) {
        parts.object.assign(cracked.lpszUrlPath, cracked.dwUrlPathLength);
    }
    if (cracked.lpszExtraInfo && cracked.dwExtraInfoLength > 0) {
        parts.object.append(cracked.lpszExtraInfo, cracked.dwExtraInfoLength);
    }
    parts.port = cracked.nPort;
    parts.secure = cracked.nScheme == INTERNET_SCHEME_HTTPS;
    return true;
}

} // namespace

HttpGet SendHttpGet(HINTERNET session, const std::string& url, DWORD flags, DWORD_PTR context,
                    const HttpTimeouts& timeouts) {
    HttpGet get;
    UrlParts parts;
    if (!session) {
        get.error = ERROR_INVALID_HANDLE;
        return get;
    }
    if (!CrackHttpUrl(url, parts, get.error)) {
        return get;
    }
    get.connection.reset(InternetConnectA(session, parts.host.c_str(), parts.port, nullptr, nullptr,
                                          INTERNET_SERVICE_HTTP, 0, context));
    if (get.connection) {
        get.request.reset(
            HttpOpenRequestA(get.connection.get(), "GET", parts.object.c_str(), nullptr, nullptr,
                             nullptr, flags | (parts.secure ? INTERNET_FLAG_SECURE : 0), context));
    }
    if (!get.request) {
        get.error = GetLastError();
        return get;
    }
    SetTimeout(get.request.get(), INTERNET_OPTION_CONNECT_TIMEOUT, timeouts.connectMs);
    SetTimeout(get.request.get(), INTERNET_OPTION_SEND_TIMEOUT, timeouts.receiveMs);
    SetTimeout(get.request.get(), INTERNET_OPTION_RECEIVE_TIMEOUT, timeouts.receiveMs);
    if (!HttpSendRequestA(get.request.get(), nullptr, 0, nullptr, 0)) {
        get.error = GetLastError();
        get.request.reset();
    }
    return get;
}

} // namespace qv
