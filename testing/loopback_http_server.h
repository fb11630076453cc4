#pragma once

#include <winsock2.h>
#include <windows.h>

#include <atomic>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace qv::testing {

// One answer as it goes on the wire: after `delayMs`, the head (status line and headers with the
// blank line), then the body pieces, each after its pause, then the end of the connection. Every
// wait ends early when the server stops.
struct Reply {
    struct Piece {
        int pauseMs;
        std::string bytes;
    };
    enum class End {
        Close, // an orderly close
        Reset, // a reset right after the last piece
        Stall, // nothing more until the server stops
    };

    int delayMs = 0;
    std::string head;
    std::vector<Piece> body;
    End end = End::Close;

    // The whole body with the given status line and a Content-Length that fits it.
    static Reply Page(const std::string& statusLine, const std::string& body,
                      const std::string& contentType = "text/html");
    static Reply Ok(const std::string& body) { return Page("HTTP/1.1 200 OK", body); }
    // Faults: each announces the whole body's length and sends less of it, or sends it late.
    static Reply ResetMidBody(const std::string& body);    // half the body, then a reset
    static Reply ShortBody(const std::string& body);       // half the body, then an orderly close
    static Reply Drip(const std::string& body, int gapMs); // one byte at a time, gapMs apart
    static Reply Stall(const std::string& body);           // the head alone
    Reply Delayed(int ms) const;
};

// An HTTP server on 127.0.0.1 at a port the system picks, run by the test on threads of its
// own, one per connection. A request is answered with the reply routed to its path and one of
// its header lines, else with the reply routed to its path, else with the reply for every other
// path (by default a 404 whose body looks like a feed item). It notes every request it was sent.
class LoopbackHttpServer {
public:
    explicit LoopbackHttpServer(Reply otherPaths = NotFound());
    LoopbackHttpServer(const LoopbackHttpServer&) = delete;
    LoopbackHttpServer& operator=(const LoopbackHttpServer&) = delete;
    ~LoopbackHttpServer();

    void Route(const std::string& path, Reply reply);
    // For the requests of path whose head has this header line, exactly as written.
    void Route(const std::string& path, const std::string& headerLine, Reply reply);

    int Port() const { return port_; }
    std::string Url(const std::string& path) const;
    int Requests(const std::string& path) const;
    std::vector<std::string> RequestHeads() const;
    std::vector<std::string> RequestLines() const; // the first line of each head
    // Requests whose head had come and whose answer had not begun, at once: a client that asks
    // one at a time never makes two, whenever the server's threads happen to run.
    int MostRequestsWaitingAtOnce() const { return mostAtOnce_; }
    int ConnectionsBeingServed() const { return serving_; } // each on a thread of its own

    // A loopback port where nothing listens, and an address there: connecting is refused.
    static int ClosedPort();
    static std::string RefusedUrl();

private:
    static Reply NotFound();
    void AcceptLoop();
    void Handle(SOCKET client);
    void Respond(SOCKET client, const Reply& reply) const;
    std::string ReadRequestHead(SOCKET client) const;
    bool SendAll(SOCKET client, const std::string& bytes) const;
    bool WaitSocket(SOCKET client, bool forWriting) const;
    std::shared_ptr<const Reply> ReplyFor(const std::string& head);
    void NoteWaiting();
    bool WaitStop(DWORD milliseconds) const;

    SOCKET listener_ = INVALID_SOCKET;
    int port_ = 0;
    HANDLE stop_ = nullptr;
    std::atomic<int> waiting_{0};
    std::atomic<int> serving_{0};
    std::atomic<int> mostAtOnce_{0};
    mutable std::mutex mutex_;
    std::shared_ptr<const Reply> otherPaths_;
    // Shared, so that a reply of many pieces is not copied for every request.
    std::map<std::string, std::shared_ptr<const Reply>> routes_;
    std::map<std::pair<std::string, std::string>, std::shared_ptr<const Reply>> headerRoutes_;
    std::map<std::string, int> requests_;
    std::vector<std::string> heads_;
    std::vector<std::thread> threads_;
    std::thread acceptor_;
};

} // namespace qv::testing
