#pragma once

#include <winsock2.h>
#include <windows.h>

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace qv::testing {

// What the server answers to every request: a head (status line and headers, with the blank
// line), then body pieces, each sent after its pause; with `resetAfterBody` the connection is
// then reset instead of closed.
struct ScriptedReply {
    struct Piece {
        DWORD pauseMs;
        std::string bytes;
    };
    std::string head;
    std::vector<Piece> body;
    bool resetAfterBody = false;

    // A complete reply with the given status line, content type and body.
    static ScriptedReply Page(const std::string& statusLine, const std::string& body,
                              const std::string& contentType = "text/html");
};

// An HTTP server on 127.0.0.1 at a port the system picks, serving one connection at a time on
// its own thread, and noting the request line of each request.
class ScriptedHttpServer {
public:
    explicit ScriptedHttpServer(ScriptedReply reply);
    ScriptedHttpServer(const ScriptedHttpServer&) = delete;
    ScriptedHttpServer& operator=(const ScriptedHttpServer&) = delete;
    ~ScriptedHttpServer();

    int Port() const { return port_; }
    std::string Url(const std::string& path) const;
    std::vector<std::string> RequestLines() const;

    // A loopback port on which nothing listens.
    static int ClosedPort();

private:
    void Serve();
    void Answer(SOCKET client);

    ScriptedReply reply_;
    int port_ = 0; // before the listener, which sets it
    SOCKET listener_ = INVALID_SOCKET;
    std::atomic<bool> stopping_{false};
    mutable std::mutex mutex_;
    std::vector<std::string> requestLines_;
    std::thread thread_;
};

// Makes the loopback server the prefix's proxy (the system's settings that WinINet sessions
// with preconfigured access read) while it lives, and puts the settings back afterwards.
class SystemProxyOverride {
public:
    explicit SystemProxyOverride(int port);
    SystemProxyOverride(const SystemProxyOverride&) = delete;
    SystemProxyOverride& operator=(const SystemProxyOverride&) = delete;
    ~SystemProxyOverride();

private:
    struct Saved {
        bool present = false;
        DWORD type = 0;
        std::vector<BYTE> data;
    };
    Saved enable_, server_;
};

} // namespace qv::testing
