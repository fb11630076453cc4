#include "net/fetch_status.h"

#include <cstdio>
#include <cstring>

namespace qv {

namespace {

// WinINet's status values (wininet.h); this file is built without the Windows headers.
enum FetchStatus : uint32_t {
    ResolvingName = 10,
    NameResolved = 11,
    ConnectingToServer = 20,
    ConnectedToServer = 21,
    SendingRequest = 30,
    RequestSent = 31,
    ReceivingResponse = 40,
    ResponseReceived = 41,
    ClosingConnection = 50,
    ConnectionClosed = 51,
    HandleCreated = 60,
    HandleClosing = 70,
    RequestComplete = 100,
};

// The information of the name notifications is a host name of at most that many bytes, not
// always terminated within them.
std::string InformationText(const void* information, uint32_t length) {
    if (!information) {
        return {};
    }
    const char* text = static_cast<const char*>(information);
    return std::string(text, strnlen(text, length));
}

std::string RequestCompleteLine(const void* information, uint32_t length) {
    if (!information || length != 8) {
        return "Request complete";
    }
    uint32_t words[2];
    std::memcpy(words, information, sizeof words);
    return FormatStatusLine("Request complete, dwResult = %8.8X, dwError = %8.8X", words[0],
                            words[1]);
}

} // namespace

std::string FormatStatusLineV(const char* format, va_list arguments) {
    char line[kStatusLineCapacity];
    const int written = std::vsnprintf(line, sizeof line, format, arguments);
    return written < 0 ? std::string() : std::string(line);
}

std::string FormatStatusLine(const char* format, ...) {
    va_list arguments;
    va_start(arguments, format);
    std::string line = FormatStatusLineV(format, arguments);
    va_end(arguments);
    return line;
}

std::optional<std::string> FetchStatusLine(uint32_t status, const void* information,
                                           uint32_t informationLength) {
    switch (status) {
    case ResolvingName:
        return FormatStatusLine("Resolving name for %s",
                                InformationText(information, informationLength).c_str());
    case NameResolved:
        return FormatStatusLine("Resolved name for %s",
                                InformationText(information, informationLength).c_str());
    case ConnectingToServer:
        return "Connecting to socket address ";
    case ConnectedToServer:
        return "Connected to socket address";
    case SendingRequest:
        return "Sending request...";
    case RequestSent:
        return "Request sent";
    case ResponseReceived:
        return "Response received";
    case ClosingConnection:
        return "Closing the connection to the server";
    case ConnectionClosed:
        return "Connection to the server closed";
    case HandleCreated:
        return "";
    case RequestComplete:
        return RequestCompleteLine(information, informationLength);
    case ReceivingResponse:
    case HandleClosing:
        return std::nullopt;
    default:
        return FormatStatusLine("Unknown status: %d", int(status));
    }
}

std::string ProgressLine(uint32_t totalBytes, int64_t elapsedSeconds, double& figure) {
    if (elapsedSeconds > 0) {
        figure = double(totalBytes) / 1024.0 / double(elapsedSeconds);
        return FormatStatusLine("Searching (%0.1f Kb/s)", figure);
    }
    figure = double(totalBytes);
    return FormatStatusLine("Searching %u bytes", totalBytes);
}

} // namespace qv
