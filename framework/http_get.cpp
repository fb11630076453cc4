#include "framework/http_get.h"

#include <string_view>

namespace qv {

namespace {

void SetTimeout(HINTERNET handle, DWORD option, DWORD milliseconds) {
    if (milliseconds != 0) {
        InternetSetOptionA(handle, option, &milliseconds, sizeof milliseconds);
    }
}

struct UrlTarget {
    std::string host;
    std::string object; // the path with its query
    INTERNET_PORT port = 0;
    bool secure = false;
};

bool CrackHttpUrl(const std::string& url, UrlTarget& target) {
    URL_COMPONENTSA parts{};
    parts.dwStructSize = sizeof parts;
    parts.dwHostNameLength = 1; // ask for pointers into the URL
    parts.dwUrlPathLength = 1;
    parts.dwExtraInfoLength = 1;
    if (url.empty() || !InternetCrackUrlA(url.c_str(), DWORD(url.size()), 0, &parts) ||
        (parts.nScheme != INTERNET_SCHEME_HTTP && parts.nScheme != INTERNET_SCHEME_HTTPS)) {
        return false;
    }
    target.host.assign(parts.lpszHostName, parts.dwHostNameLength);
    const bool hasPath = parts.lpszUrlPath && parts.dwUrlPathLength > 0;
    target.object = hasPath ? std::string(parts.lpszUrlPath, parts.dwUrlPathLength) : "/";
    if (parts.lpszExtraInfo && parts.dwExtraInfoLength > 0) {
        target.object.append(parts.lpszExtraInfo, parts.dwExtraInfoLength);
    }
    target.port = parts.nPort;
    target.secure = parts.nScheme == INTERNET_SCHEME_HTTPS;
    return true;
}

std::string_view AcceptEncodingHeader(AcceptedCoding coding) {
    switch (coding) {
    case AcceptedCoding::Compressed:
        return "Accept-Encoding: gzip, deflate\r\n";
    case AcceptedCoding::Identity:
        return "Accept-Encoding: identity\r\n";
    case AcceptedCoding::Unsaid:
        break;
    }
    return {};
}

} // namespace

HttpGet SendHttpGet(HINTERNET session, const std::string& url, DWORD flags, DWORD_PTR context,
                    const HttpTimeouts& timeouts, AcceptedCoding coding,
                    const std::string& extraHeaders) {
    HttpGet get;
    UrlTarget target;
    if (!session || !CrackHttpUrl(url, target)) {
        get.error = ERROR_INTERNET_UNRECOGNIZED_SCHEME;
        return get;
    }
    get.connection.reset(InternetConnectA(session, target.host.c_str(), target.port, nullptr,
                                          nullptr, INTERNET_SERVICE_HTTP, 0, context));
    if (get.connection) {
        const DWORD secure = target.secure ? INTERNET_FLAG_SECURE : 0;
        get.request.reset(HttpOpenRequestA(get.connection.get(), "GET", target.object.c_str(),
                                           nullptr, nullptr, nullptr, flags | secure, context));
    }
    if (get.request) {
        SetTimeout(get.request.get(), INTERNET_OPTION_CONNECT_TIMEOUT, timeouts.connectMs);
        SetTimeout(get.request.get(), INTERNET_OPTION_SEND_TIMEOUT, timeouts.sendMs);
        SetTimeout(get.request.get(), INTERNET_OPTION_RECEIVE_TIMEOUT, timeouts.receiveMs);
        const std::string headers = std::string(AcceptEncodingHeader(coding)) + extraHeaders;
        if (HttpSendRequestA(get.request.get(), headers.empty() ? nullptr : headers.c_str(),
                             DWORD(headers.size()), nullptr, 0)) {
            return get;
        }
    }
    get.error = GetLastError();
    get.request.reset();
    return get;
}

} // namespace qv
