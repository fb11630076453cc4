#include "testing/loopback_http_server.h"

#include <ws2tcpip.h>

#include <algorithm>

namespace qv::testing {

namespace {

bool WouldBlock(int result) {
    return result == SOCKET_ERROR && WSAGetLastError() == WSAEWOULDBLOCK;
}

// "GET /path HTTP/1.1", or through a proxy "GET http://host:port/path HTTP/1.1".
std::string PathOf(const std::string& head) {
    const size_t start = head.find(' ');
    const size_t end = head.find(' ', start + 1);
    if (start == std::string::npos || end == std::string::npos) {
        return {};
    }
    std::string target = head.substr(start + 1, end - start - 1);
    if (target.starts_with("http://")) {
        const size_t slash = target.find('/', 7);
        target = slash == std::string::npos ? "/" : target.substr(slash);
    }
    return target;
}

// The listener's port is the system's choice; `listening` false leaves a port nobody answers.
SOCKET BindLoopback(int& port, bool listening) {
    SOCKET socket = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(socket, reinterpret_cast<sockaddr*>(&address), sizeof address);
    if (listening) {
        listen(socket, 16);
    }
    int length = sizeof address;
    getsockname(socket, reinterpret_cast<sockaddr*>(&address), &length);
    port = ntohs(address.sin_port);
    return socket;
}

// The head of a fault: the whole body announced, whatever is sent of it.
Reply Announced(const std::string& body) {
    Reply reply = Reply::Page("HTTP/1.1 200 OK", body);
    reply.body.clear();
    return reply;
}

} // namespace

Reply Reply::Page(const std::string& statusLine, const std::string& body,
                  const std::string& contentType) {
    Reply reply;
    reply.head = statusLine + "\r\nContent-Type: " + contentType +
                 "\r\nContent-Length: " + std::to_string(body.size()) +
                 "\r\nConnection: close\r\n\r\n";
    reply.body.push_back({0, body});
    return reply;
}

Reply Reply::ResetMidBody(const std::string& body) {
    Reply reply = Announced(body);
    // The pause lets the client take the half in before the reset overtakes it.
    reply.body = {{0, body.substr(0, body.size() / 2)}, {100, ""}};
    reply.end = End::Reset;
    return reply;
}

Reply Reply::ShortBody(const std::string& body) {
    Reply reply = Announced(body);
    reply.body = {{0, body.substr(0, body.size() / 2)}};
    return reply;
}

Reply Reply::Drip(const std::string& body, int gapMs) {
    Reply reply = Announced(body);
    for (const char byte : body) {
        reply.body.push_back({gapMs, std::string(1, byte)});
    }
    return reply;
}

Reply Reply::Stall(const std::string& body) {
    Reply reply = Announced(body);
    reply.end = End::Stall;
    return reply;
}

Reply Reply::Delayed(int ms) const {
    Reply reply = *this;
    reply.delayMs = ms;
    return reply;
}

LoopbackHttpServer::LoopbackHttpServer(Reply otherPaths)
    : otherPaths_(std::make_shared<const Reply>(std::move(otherPaths))) {
    WSADATA data;
    WSAStartup(MAKEWORD(2, 2), &data);
    stop_ = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    listener_ = BindLoopback(port_, true);
    acceptor_ = std::thread([this] { AcceptLoop(); });
}

LoopbackHttpServer::~LoopbackHttpServer() {
    SetEvent(stop_);
    closesocket(listener_); // ends a waiting accept
    acceptor_.join();
    for (std::thread& thread : threads_) {
        thread.join();
    }
    CloseHandle(stop_);
    WSACleanup();
}

void LoopbackHttpServer::Route(const std::string& path, Reply reply) {
    const std::lock_guard lock(mutex_);
    routes_[path] = std::make_shared<const Reply>(std::move(reply));
}

void LoopbackHttpServer::Route(const std::string& path, const std::string& headerLine,
                               Reply reply) {
    const std::lock_guard lock(mutex_);
    headerRoutes_[{path, headerLine}] = std::make_shared<const Reply>(std::move(reply));
}

std::string LoopbackHttpServer::Url(const std::string& path) const {
    return "http://127.0.0.1:" + std::to_string(port_) + path;
}

int LoopbackHttpServer::Requests(const std::string& path) const {
    const std::lock_guard lock(mutex_);
    const auto found = requests_.find(path);
    return found == requests_.end() ? 0 : found->second;
}

std::vector<std::string> LoopbackHttpServer::RequestHeads() const {
    const std::lock_guard lock(mutex_);
    return heads_;
}

std::vector<std::string> LoopbackHttpServer::RequestLines() const {
    std::vector<std::string> lines;
    for (const std::string& head : RequestHeads()) {
        lines.push_back(head.substr(0, head.find("\r\n")));
    }
    return lines;
}

int LoopbackHttpServer::ClosedPort() {
    WSADATA data;
    WSAStartup(MAKEWORD(2, 2), &data);
    int port = 0;
    closesocket(BindLoopback(port, false)); // bound, never listening, now closed
    WSACleanup();
    return port;
}

std::string LoopbackHttpServer::RefusedUrl() {
    return "http://127.0.0.1:" + std::to_string(ClosedPort()) + "/refused.xml";
}

Reply LoopbackHttpServer::NotFound() {
    return Reply::Page("HTTP/1.1 404 Not Found",
                       "<item><title>Not found</title><link>x</link></item>", "text/xml");
}

void LoopbackHttpServer::AcceptLoop() {
    for (;;) {
        const SOCKET client = accept(listener_, nullptr, nullptr);
        if (client == INVALID_SOCKET) {
            return;
        }
        ++serving_;
        threads_.emplace_back([this, client] { Handle(client); });
    }
}

void LoopbackHttpServer::Handle(SOCKET client) {
    // Never blocked in a call: a client that stops reading cannot hold the server's end.
    u_long nonBlocking = 1;
    ioctlsocket(client, FIONBIO, &nonBlocking);
    const std::shared_ptr<const Reply> reply = ReplyFor(ReadRequestHead(client));
    NoteWaiting();
    const bool stopped = WaitStop(DWORD(reply->delayMs));
    --waiting_; // from here the client may read its answer and ask again
    if (!stopped) {
        Respond(client, *reply);
    }
    closesocket(client);
    --serving_;
}

std::string LoopbackHttpServer::ReadRequestHead(SOCKET client) const {
    std::string head;
    char buffer[4096];
    while (head.find("\r\n\r\n") == std::string::npos && head.size() < 65536) {
        const int got = recv(client, buffer, sizeof buffer, 0);
        if (got > 0) {
            head.append(buffer, size_t(got));
        } else if (!WouldBlock(got) || !WaitSocket(client, false)) {
            break;
        }
    }
    return head;
}

bool LoopbackHttpServer::SendAll(SOCKET client, const std::string& bytes) const {
    size_t sent = 0;
    while (sent < bytes.size()) {
        const int n = send(client, bytes.data() + sent,
                           int(std::min<size_t>(bytes.size() - sent, 1 << 20)), 0);
        if (n > 0) {
            sent += size_t(n);
        } else if (!WouldBlock(n) || !WaitSocket(client, true)) {
            return false;
        }
    }
    return true;
}

// Until the socket is ready to be read or written; false when the server stops first.
bool LoopbackHttpServer::WaitSocket(SOCKET client, bool forWriting) const {
    while (!WaitStop(0)) {
        fd_set sockets;
        FD_ZERO(&sockets);
        FD_SET(client, &sockets);
        timeval step{0, 50000}; // how soon a stop is noticed
        const int ready = select(0, forWriting ? nullptr : &sockets,
                                 forWriting ? &sockets : nullptr, nullptr, &step);
        if (ready != 0) {
            return ready > 0;
        }
    }
    return false;
}

void LoopbackHttpServer::NoteWaiting() {
    const int now = ++waiting_;
    int most = mostAtOnce_.load();
    while (now > most && !mostAtOnce_.compare_exchange_weak(most, now)) {
    }
}

std::shared_ptr<const Reply> LoopbackHttpServer::ReplyFor(const std::string& head) {
    const std::string path = PathOf(head);
    const std::lock_guard lock(mutex_);
    heads_.push_back(head);
    ++requests_[path];
    for (const auto& [route, reply] : headerRoutes_) {
        if (route.first == path && head.find("\r\n" + route.second + "\r\n") != std::string::npos) {
            return reply;
        }
    }
    const auto found = routes_.find(path);
    return found == routes_.end() ? otherPaths_ : found->second;
}

void LoopbackHttpServer::Respond(SOCKET client, const Reply& reply) const {
    if (!SendAll(client, reply.head)) {
        return;
    }
    for (const Reply::Piece& piece : reply.body) {
        if (WaitStop(DWORD(piece.pauseMs)) || !SendAll(client, piece.bytes)) {
            return;
        }
    }
    switch (reply.end) {
    case Reply::End::Close:
        shutdown(client, SD_SEND);
        break;
    case Reply::End::Reset: {
        const linger abort{1, 0}; // closing with a zero linger resets the connection
        setsockopt(client, SOL_SOCKET, SO_LINGER, reinterpret_cast<const char*>(&abort),
                   sizeof abort);
        break;
    }
    case Reply::End::Stall:
        WaitStop(INFINITE);
        break;
    }
}

bool LoopbackHttpServer::WaitStop(DWORD milliseconds) const {
    return WaitForSingleObject(stop_, milliseconds) == WAIT_OBJECT_0;
}

} // namespace qv::testing
