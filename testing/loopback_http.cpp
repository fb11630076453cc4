#include "testing/loopback_http.h"

#include <wininet.h>

#include "framework/handles.h"

namespace qv::testing {

namespace {

constexpr char kInternetSettings[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings";

struct WinsockUser {
    WinsockUser() {
        WSADATA data;
        WSAStartup(MAKEWORD(2, 2), &data);
    }
    ~WinsockUser() { WSACleanup(); }
};

SOCKET ListenOnLoopback(int& port) {
    static WinsockUser winsock;
    SOCKET listener = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address);
    listen(listener, 8);
    int length = sizeof address;
    getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length);
    port = ntohs(address.sin_port);
    return listener;
}

std::string ReadRequestHead(SOCKET client) {
    std::string head;
    char buffer[1024];
    while (head.find("\r\n\r\n") == std::string::npos && head.size() < 65536) {
        const int got = recv(client, buffer, sizeof buffer, 0);
        if (got <= 0) {
            break;
        }
        head.append(buffer, size_t(got));
    }
    return head;
}

void SendAll(SOCKET client, const std::string& bytes) {
    size_t sent = 0;
    while (sent < bytes.size()) {
        const int n = send(client, bytes.data() + sent, int(bytes.size() - sent), 0);
        if (n <= 0) {
            return;
        }
        sent += size_t(n);
    }
}

void Save(HKEY key, const char* name, auto& saved) {
    DWORD size = 0;
    if (RegQueryValueExA(key, name, nullptr, &saved.type, nullptr, &size) != ERROR_SUCCESS) {
        return;
    }
    saved.data.resize(size);
    saved.present = RegQueryValueExA(key, name, nullptr, &saved.type, saved.data.data(), &size) ==
                    ERROR_SUCCESS;
}

void Restore(HKEY key, const char* name, const auto& saved) {
    if (saved.present) {
        RegSetValueExA(key, name, 0, saved.type, saved.data.data(), DWORD(saved.data.size()));
    } else {
        RegDeleteValueA(key, name);
    }
}

void TellWinInetSettingsChanged() {
    InternetSetOptionA(nullptr, INTERNET_OPTION_SETTINGS_CHANGED, nullptr, 0);
    InternetSetOptionA(nullptr, INTERNET_OPTION_REFRESH, nullptr, 0);
}

} // namespace

ScriptedReply ScriptedReply::Page(const std::string& statusLine, const std::string& body,
                                  const std::string& contentType) {
    ScriptedReply reply;
    reply.head = statusLine + "\r\nContent-Type: " + contentType +
                 "\r\nContent-Length: " + std::to_string(body.size()) +
                 "\r\nConnection: close\r\n\r\n";
    reply.body.push_back({0, body});
    return reply;
}

ScriptedHttpServer::ScriptedHttpServer(ScriptedReply reply)
    : reply_(std::move(reply)), listener_(ListenOnLoopback(port_)), thread_([this] { Serve(); }) {}

ScriptedHttpServer::~ScriptedHttpServer() {
    stopping_ = true;
    closesocket(listener_); // ends a waiting accept
    thread_.join();
}

std::string ScriptedHttpServer::Url(const std::string& path) const {
    return "http://127.0.0.1:" + std::to_string(port_) + path;
}

std::vector<std::string> ScriptedHttpServer::RequestLines() const {
    std::lock_guard lock(mutex_);
    return requestLines_;
}

int ScriptedHttpServer::ClosedPort() {
    int port = 0;
    closesocket(ListenOnLoopback(port));
    return port;
}

void ScriptedHttpServer::Serve() {
    while (!stopping_) {
        const SOCKET client = accept(listener_, nullptr, nullptr);
        if (client == INVALID_SOCKET) {
            return;
        }
        Answer(client);
    }
}

void ScriptedHttpServer::Answer(SOCKET client) {
    const std::string head = ReadRequestHead(client);
    {
        std::lock_guard lock(mutex_);
        requestLines_.push_back(head.substr(0, head.find("\r\n")));
    }
    SendAll(client, reply_.head);
    for (const ScriptedReply::Piece& piece : reply_.body) {
        Sleep(piece.pauseMs);
        SendAll(client, piece.bytes);
    }
    if (reply_.resetAfterBody) {
        const linger abort{1, 0}; // closing with a zero linger resets the connection
        setsockopt(client, SOL_SOCKET, SO_LINGER, reinterpret_cast<const char*>(&abort),
                   sizeof abort);
    } else {
        shutdown(client, SD_SEND);
    }
    closesocket(client);
}

SystemProxyOverride::SystemProxyOverride(int port) {
    UniqueRegKey owner;
    RegCreateKeyExA(HKEY_CURRENT_USER, kInternetSettings, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                    owner.put(), nullptr);
    const HKEY key = owner.get();
    Save(key, "ProxyEnable", enable_);
    Save(key, "ProxyServer", server_);
    const DWORD enable = 1;
    const std::string server = "127.0.0.1:" + std::to_string(port);
    RegSetValueExA(key, "ProxyEnable", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&enable),
                   sizeof enable);
    RegSetValueExA(key, "ProxyServer", 0, REG_SZ, reinterpret_cast<const BYTE*>(server.c_str()),
                   DWORD(server.size() + 1));
    TellWinInetSettingsChanged();
}

SystemProxyOverride::~SystemProxyOverride() {
    UniqueRegKey key;
    RegOpenKeyExA(HKEY_CURRENT_USER, kInternetSettings, 0, KEY_ALL_ACCESS, key.put());
    Restore(key.get(), "ProxyEnable", enable_);
    Restore(key.get(), "ProxyServer", server_);
    TellWinInetSettingsChanged();
}

} // namespace qv::testing
