#pragma once

#include <windows.h>

#include <string>

#include "framework/internet_handle.h"

namespace qv {

// Time limits on one request, in milliseconds; 0 keeps the system's.
struct HttpTimeouts {
    DWORD connectMs = 0;
    DWORD receiveMs = 0; // the longest wait for the next bytes, and for sending
};

// A GET request sent over a session, with the connection it needs. The request is empty when
// the address is no HTTP or HTTPS URL or a step failed; `error` then holds the WinINet error.
struct HttpGet {
    UniqueInternet connection;
    UniqueInternet request;
    DWORD error = 0;
};

// Sends a GET for url. Connection and request are made one by one, so that the time limits are
// on the request before it is sent: only then does Wine hold to them, for the wait for the
// answer and for its body alike (it ignores them on a session, and InternetOpenUrl sends at
// once). Notifications of the session's status callback carry `context`.
HttpGet SendHttpGet(HINTERNET session, const std::string& url, DWORD flags, DWORD_PTR context,
                    const HttpTimeouts& timeouts);

} // namespace qv
