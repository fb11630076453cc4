#pragma once

#include <windows.h>
#include <wininet.h>

#include <string>

#include "framework/internet_handle.h"

namespace qv {

// Time limits for one request, in milliseconds; 0 leaves the system's.
struct HttpTimeouts {
    DWORD connectMs = 0;
    DWORD sendMs = 0;
    DWORD receiveMs = 0;
};

// A GET on its way: the connection lives as long as its request.
struct HttpGet {
    UniqueInternet connection;
    UniqueInternet request; // null when the request could not be made or sent
    DWORD error = 0;        // then WinINet's error
};

// The body codings a request accepts. Unsaid leaves them to the server. With Compressed the
// server may send the body gzip- or deflate-coded; the caller decodes it (WinINet's own decoding
// does not tell a body cut short from a whole one). Identity asks for the body as it is.
enum class AcceptedCoding { Unsaid, Compressed, Identity };

// What InternetOpenUrl does for "http:" and "https:" URLs, made step by step so that the time
// limits are on the request before it is sent: only then does every WinINet (Wine's too) hold
// them for the wait for the answer and its body.
// extraHeaders are whole lines, each ending in CR LF.
HttpGet SendHttpGet(HINTERNET session, const std::string& url, DWORD flags, DWORD_PTR context,
                    const HttpTimeouts& timeouts, AcceptedCoding coding = AcceptedCoding::Unsaid,
                    const std::string& extraHeaders = {});

} // namespace qv
