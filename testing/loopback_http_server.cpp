#include "testing/loopback_http_server.h"

#include <ws2tcpip.h>

#include <algorithm>

namespace qv::testing {

namespace {

bool SendAll(SOCKET socket, const char* bytes, size_t count) {
    while (count > 0) {
        const int sent = send(socket, bytes, int(std::min<size_t>(count, 1 << 20)), 0);
        if (sent <= 0) {
            return false;
        }
        bytes += sent;
        count -= size_t(sent);
    }
    return true;
}

bool SendText(SOCKET socket, const std::string& text) {
    return SendAll(socket, text.data(), text.size());
}

std::string Head(int status, const char* reason, size_t length) {
    return "HTTP/1.1 " + std::to_string(status) + " " + reason +
           "\r\nContent-Type: text/xml\r\nContent-Length: " + std::to_string(length) +
           "\r\nConnection: close\r\n\r\n";
}

// "GET /path HTTP/1.1", or with a proxy "GET http://host:port/path HTTP/1.1".
std::string PathOf(const std::string& head) {
    const size_t start = head.find(' ');
    const size_t end = head.find(' ', start + 1);
    if (start == std::string::npos || end == std::string::npos) {
        return {};
    }
    std::string target = head.substr(start + 1, end - start - 1);
    if (target.rfind("http://", 0) == 0) {
        const size_t slash = target.find('/', 7);
        target = slash == std::string::npos ? "/" : target.substr(slash);
    }
    return target;
}

} // namespace

LoopbackHttpServer::LoopbackHttpServer() {
    WSADATA data;
    WSAStartup(MAKEWORD(2, 2), &data);
    stop_ = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    listener_ = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address);
    listen(listener_, 16);
    int length = sizeof address;
    getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length);
    port_ = ntohs(address.sin_port);
    acceptor_ = std::thread([this] { AcceptLoop(); });
}

LoopbackHttpServer::~LoopbackHttpServer() {
    SetEvent(stop_);
    closesocket(listener_);
    acceptor_.join();
    {
        const std::lock_guard lock(mutex_);
        for (SOCKET client : clients_) {
            shutdown(client, SD_BOTH);
        }
    }
    for (std::thread& thread : threads_) {
        thread.join();
    }
    CloseHandle(stop_);
    WSACleanup();
}

void LoopbackHttpServer::Route(const std::string& path, qv::testing::Route route) {
    const std::lock_guard lock(mutex_);
    routes_[path] = std::move(route);
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

std::string LoopbackHttpServer::RefusedUrl() {
    WSADATA data;
    WSAStartup(MAKEWORD(2, 2), &data);
    const SOCKET probe = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(probe, reinterpret_cast<sockaddr*>(&address), sizeof address);
    int length = sizeof address;
    getsockname(probe, reinterpret_cast<sockaddr*>(&address), &length);
    closesocket(probe); // bound, never listening, now closed: nothing is there
    WSACleanup();
    return "http://127.0.0.1:" + std::to_string(ntohs(address.sin_port)) + "/refused.xml";
}

void LoopbackHttpServer::AcceptLoop() {
    for (;;) {
        const SOCKET client = accept(listener_, nullptr, nullptr);
        if (client == INVALID_SOCKET) {
            return;
        }
        const std::lock_guard lock(mutex_);
        clients_.push_back(client);
        threads_.emplace_back([this, client] { Handle(client); });
    }
}

bool LoopbackHttpServer::WaitStop(int milliseconds) const {
    return WaitForSingleObject(stop_, DWORD(milliseconds)) == WAIT_OBJECT_0;
}

void LoopbackHttpServer::Handle(SOCKET client) {
    const int now = ++open_;
    int most = mostAtOnce_.load();
    while (now > most && !mostAtOnce_.compare_exchange_weak(most, now)) {
    }
    std::string head;
    char buffer[4096];
    while (head.find("\r\n\r\n") == std::string::npos) {
        const int got = recv(client, buffer, sizeof buffer, 0);
        if (got <= 0) {
            break;
        }
        head.append(buffer, size_t(got));
    }
    qv::testing::Route route{"", Answer::NotFound};
    {
        const std::lock_guard lock(mutex_);
        const std::string path = PathOf(head);
        heads_.push_back(head);
        ++requests_[path];
        if (const auto found = routes_.find(path); found != routes_.end()) {
            route = found->second;
        }
    }
    if (!WaitStop(route.delayMs)) {
        Respond(client, route);
    }
    --open_;
    closesocket(client);
}

void LoopbackHttpServer::Respond(SOCKET client, const qv::testing::Route& route) {
    const std::string& body = route.body;
    const size_t half = body.size() / 2;
    switch (route.answer) {
    case Answer::Serve:
        SendText(client, Head(200, "OK", body.size()) + body);
        break;
    case Answer::NotFound:
        SendText(client, Head(404, "Not Found", 52) +
                             "<item><title>Not found</title><link>x</link></item>");
        break;
    case Answer::ServerError:
        SendText(client, Head(500, "Internal Server Error", 52) +
                             "<item><title>Try again</title><link>x</link></item>");
        break;
    case Answer::ResetMidBody: {
        SendText(client, Head(200, "OK", body.size()) + body.substr(0, half));
        WaitStop(100);
        const linger abort{1, 0}; // closing now sends a reset
        setsockopt(client, SOL_SOCKET, SO_LINGER, reinterpret_cast<const char*>(&abort),
                   sizeof abort);
        break;
    }
    case Answer::ShortBody:
        SendText(client, Head(200, "OK", body.size()) + body.substr(0, half));
        shutdown(client, SD_SEND);
        break;
    case Answer::SlowDrip:
        SendText(client, Head(200, "OK", body.size()));
        for (size_t i = 0; i < body.size() && !WaitStop(route.dripDelayMs); ++i) {
            if (!SendAll(client, &body[i], 1)) {
                break;
            }
        }
        break;
    case Answer::Stall:
        SendText(client, Head(200, "OK", body.size()));
        WaitStop(INFINITE);
        break;
    }
}

} // namespace qv::testing
