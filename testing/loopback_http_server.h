#pragma once

#include <windows.h>
#include <winsock2.h>

#include <atomic>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace qv::testing {

// How the server answers one path; everything but Serve misbehaves on purpose.
enum class Answer {
    Serve,        // 200 with the whole body
    NotFound,     // 404 with a body of its own
    ServerError,  // 500 with a body of its own
    ResetMidBody, // half the body, then a reset
    ShortBody,    // half the body, then an orderly close: shorter than its Content-Length
    SlowDrip,     // the body one byte at a time, dripDelayMs apart
    Stall,        // the headers, then nothing until the server stops
};

struct Route {
    std::string body;
    Answer answer = Answer::Serve;
    int delayMs = 0; // before the answer starts
    int dripDelayMs = 50;
};

// An HTTP server on 127.0.0.1 at a port the system picks, run by the test itself on threads of
// its own; one thread per connection.
class LoopbackHttpServer {
public:
    LoopbackHttpServer();
    LoopbackHttpServer(const LoopbackHttpServer&) = delete;
    LoopbackHttpServer& operator=(const LoopbackHttpServer&) = delete;
    ~LoopbackHttpServer();

    void Route(const std::string& path, qv::testing::Route route);
    std::string Url(const std::string& path) const;
    int Requests(const std::string& path) const;
    int MostConnectionsAtOnce() const { return mostAtOnce_; }
    std::vector<std::string> RequestHeads() const;

    // A loopback address where nothing listens: connecting is refused.
    static std::string RefusedUrl();

private:
    void AcceptLoop();
    void Handle(SOCKET client);
    void Respond(SOCKET client, const qv::testing::Route& route);
    bool WaitStop(int milliseconds) const;

    SOCKET listener_ = INVALID_SOCKET;
    int port_ = 0;
    HANDLE stop_ = nullptr;
    std::atomic<int> open_{0};
    std::atomic<int> mostAtOnce_{0};
    mutable std::mutex mutex_;
    std::map<std::string, qv::testing::Route> routes_;
    std::map<std::string, int> requests_;
    std::vector<std::string> heads_;
    std::vector<SOCKET> clients_;
    std::vector<std::thread> threads_;
    std::thread acceptor_;
};

} // namespace qv::testing
