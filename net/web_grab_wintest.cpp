#include "net/web_grab.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <ctime>
#include <string>
#include <vector>

#include "framework/handles.h"
#include "testing/loopback_http_server.h"
#include "testing/system_proxy_override.h"
#include "testing/window_text_recorder.h"

namespace {

using namespace qv;
using namespace qv::testing;

// A status window of its own for each test, with every line shown in it noted.
class WebFetch : public ::testing::Test {
protected:
    void TearDown() override { DestroyWindow(statusWindow); }

    const std::vector<std::string>& Lines() const { return recorder.Texts(); }
    // The lines shown for received chunks, one per chunk.
    std::vector<std::string> ProgressLines() const {
        std::vector<std::string> progress;
        std::copy_if(recorder.Texts().begin(), recorder.Texts().end(), std::back_inserter(progress),
                     [](const std::string& line) { return line.starts_with("Searching"); });
        return progress;
    }
    std::string LastLine() const {
        return recorder.Texts().empty() ? "(no line)" : recorder.Texts().back();
    }

    HWND statusWindow =
        CreateWindowExA(0, "EDIT", "", WS_POPUP, 0, 0, 200, 20, nullptr, nullptr, nullptr, nullptr);
    WindowTextRecorder recorder{statusWindow};
    CWebGrab grab;
    std::string page = "stale";
};

std::string Body(size_t size) {
    std::string body(size, '\0');
    for (size_t i = 0; i < size; ++i) {
        body[i] = char('a' + i % 26);
    }
    return body;
}

std::string UrlWithNobodyListening() {
    return "http://127.0.0.1:" + std::to_string(LoopbackHttpServer::ClosedPort()) + "/";
}

std::string WinInetMessage(DWORD error) {
    char text[256] = {};
    FormatMessageA(FORMAT_MESSAGE_FROM_HMODULE | FORMAT_MESSAGE_IGNORE_INSERTS,
                   GetModuleHandleA("wininet.dll"), error, 0, text, sizeof text, nullptr);
    std::string message = text;
    while (!message.empty() && (message.back() == '\n' || message.back() == '\r')) {
        message.pop_back();
    }
    return message;
}

// Returns just after the clock's second has changed, so that a quick fetch started now ends
// within the same whole second.
void WaitForANewSecond() {
    const time_t start = time(nullptr);
    while (time(nullptr) == start) {
        Sleep(1);
    }
}

TEST_F(WebFetch, ShowsEachStageThenByteCountsWithinTheFirstSecondAndEndsEmpty) {
    const std::string body = Body(10000);
    LoopbackHttpServer server(Reply::Page("HTTP/1.1 200 OK", body));
    ShowWindow(statusWindow, SW_SHOWNOACTIVATE);
    UpdateWindow(statusWindow);
    const size_t paintsBefore = recorder.Painted().size();
    WaitForANewSecond();
    ASSERT_TRUE(grab.FetchUrl(server.Url("/results?q=1"), page, statusWindow));

    EXPECT_EQ(page, body);
    EXPECT_EQ(grab.HttpStatus(), 200u);
    EXPECT_TRUE(grab.RawHeaders().starts_with("HTTP/1.1 200 OK\r\n"));
    EXPECT_NE(grab.RawHeaders().find("Content-Length: 10000"), std::string::npos);
    EXPECT_EQ(server.RequestLines(), (std::vector<std::string>{"GET /results?q=1 HTTP/1.1"}));
    EXPECT_NE(server.RequestHeads()[0].find("\r\nUser-Agent: Mozilla Firefox\r\n"),
              std::string::npos)
        << server.RequestHeads()[0];

    const auto lines = Lines();
    for (const char* stage : {"Connecting to socket address ", "Connected to socket address",
                              "Sending request...", "Request sent", "Response received"}) {
        EXPECT_NE(std::find(lines.begin(), lines.end(), stage), lines.end()) << stage;
    }
    const auto progress = ProgressLines();
    ASSERT_GE(progress.size(), 3u);
    EXPECT_EQ(progress.back(), "Searching 10000 bytes");
    for (const std::string& line : progress) {
        EXPECT_TRUE(line.ends_with(" bytes")) << line;
    }
    EXPECT_EQ(LastLine(), "");
    // Painted as they came, though the fetch let no message through: every line was seen.
    const std::vector<std::string> painted(recorder.Painted().begin() + ptrdiff_t(paintsBefore),
                                           recorder.Painted().end());
    EXPECT_EQ(painted, lines);
    EXPECT_EQ(grab.ProgressFigure(), 10000.0);
    EXPECT_EQ(grab.Session()->LastStatus(), "");
}

// Byte for byte, zero bytes and all.
TEST_F(WebFetch, ReadsInChunksOfAtMost4095Bytes) {
    std::string body = Body(9000);
    body[5000] = '\0';
    body[6000] = '\xFF';
    Reply reply = Reply::Page("HTTP/1.1 200 OK", body);
    LoopbackHttpServer server(std::move(reply));
    WaitForANewSecond();
    ASSERT_TRUE(grab.FetchUrl(server.Url("/"), page, statusWindow));
    EXPECT_EQ(page, body);
    const auto progress = ProgressLines();
    ASSERT_FALSE(progress.empty());
    EXPECT_EQ(progress.front(), "Searching 4095 bytes");
}

TEST_F(WebFetch, ShowsTheRateOnceTheClockHasPassedASecond) {
    Reply reply;
    reply.head = "HTTP/1.1 200 OK\r\nContent-Length: 9216\r\nConnection: close\r\n\r\n";
    reply.body = {{0, Body(5000)}, {1300, Body(4216)}};
    LoopbackHttpServer server(std::move(reply));
    ASSERT_TRUE(grab.FetchUrl(server.Url("/slow"), page, statusWindow));

    // 8190 and then 9216 bytes (9 KB) after one or two whole clock seconds, as the second
    // boundaries fell.
    const auto progress = ProgressLines();
    ASSERT_EQ(progress.size(), 3u);
    EXPECT_EQ(progress[0], "Searching 4095 bytes");
    const bool oneSecond = progress[2] == "Searching (9.0 Kb/s)";
    EXPECT_EQ(progress[1], oneSecond ? "Searching (8.0 Kb/s)" : "Searching (4.0 Kb/s)");
    EXPECT_EQ(progress[2], oneSecond ? "Searching (9.0 Kb/s)" : "Searching (4.5 Kb/s)");
    EXPECT_EQ(grab.ProgressFigure(), oneSecond ? 9.0 : 4.5);
    EXPECT_EQ(page.size(), 9216u);
}

TEST_F(WebFetch, ARefusedConnectionShowsThePlatformMessageAndFails) {
    EXPECT_FALSE(grab.FetchUrl(UrlWithNobodyListening(), page, statusWindow));
    EXPECT_EQ(page, "");
    EXPECT_EQ(grab.HttpStatus(), 0u);
    EXPECT_EQ(grab.ErrorText(), ""); // kept for failures while receiving
    ASSERT_FALSE(Lines().empty());
    EXPECT_EQ(LastLine(), WinInetMessage(ERROR_INTERNET_CANNOT_CONNECT));
    EXPECT_NE(LastLine(), "");
}

TEST_F(WebFetch, AnUnresolvableHostShowsThePlatformMessageAndFails) {
    EXPECT_FALSE(grab.FetchUrl("http://no-such-host.invalid/results", page, statusWindow));
    EXPECT_EQ(page, "");
    EXPECT_EQ(grab.HttpStatus(), 0u);
    ASSERT_FALSE(Lines().empty());
    EXPECT_NE(std::find(Lines().begin(), Lines().end(), "Resolving name for no-such-host.invalid"),
              Lines().end());
    EXPECT_EQ(LastLine(), WinInetMessage(ERROR_INTERNET_NAME_NOT_RESOLVED));
    EXPECT_NE(LastLine(), "");
}

TEST_F(WebFetch, AResetMidBodyKeepsThePartReceivedAndReportsTheError) {
    Reply reply;
    reply.head = "HTTP/1.1 200 OK\r\nContent-Length: 50000\r\nConnection: close\r\n\r\n";
    reply.body = {{0, Body(8190)}, {200, ""}};
    reply.end = Reply::End::Reset;
    LoopbackHttpServer server(std::move(reply));
    EXPECT_FALSE(grab.FetchUrl(server.Url("/"), page, statusWindow));
    EXPECT_EQ(page, Body(8190));
    EXPECT_EQ(grab.HttpStatus(), 0u);
    EXPECT_NE(grab.ErrorText(), "");
    EXPECT_EQ(LastLine(), grab.ErrorText());

    // A later fetch that works leaves the error text as it was.
    const std::string errorText = grab.ErrorText();
    LoopbackHttpServer good(Reply::Page("HTTP/1.1 200 OK", "fine"));
    EXPECT_TRUE(grab.FetchUrl(good.Url("/"), page, statusWindow));
    EXPECT_EQ(grab.ErrorText(), errorText);
}

TEST_F(WebFetch, ErrorPagesAreReturnedWithTheirStatus) {
    for (const auto& [statusLine, code] : {std::pair{"HTTP/1.1 404 Not Found", 404u},
                                           {"HTTP/1.1 500 Internal Server Error", 500u}}) {
        LoopbackHttpServer server(Reply::Page(statusLine, "<h1>error page</h1>"));
        EXPECT_TRUE(grab.FetchUrl(server.Url("/missing"), page, statusWindow)) << code;
        EXPECT_EQ(page, "<h1>error page</h1>");
        EXPECT_EQ(grab.HttpStatus(), code);
        EXPECT_TRUE(grab.RawHeaders().starts_with(statusLine));
    }
    ASSERT_TRUE(grab.OpenFetchSession(statusWindow)); // a new session starts with no status
    EXPECT_EQ(grab.HttpStatus(), 0u);
}

TEST_F(WebFetch, RepeatedFetchesReuseTheSessionAndKeepOnlyTheLastHeaders) {
    Reply first = Reply::Page("HTTP/1.1 200 OK", "one");
    first.head.insert(first.head.find("\r\n") + 2, "X-First: 1\r\n");
    Reply second = Reply::Page("HTTP/1.1 200 OK", "two");
    second.head.insert(second.head.find("\r\n") + 2, "X-Second: 2\r\n");
    LoopbackHttpServer one(std::move(first)), two(std::move(second));

    ASSERT_TRUE(grab.FetchUrl(one.Url("/a"), page, statusWindow));
    const CWebGrabSession* session = grab.Session();
    EXPECT_NE(grab.RawHeaders().find("X-First: 1"), std::string::npos);
    ASSERT_TRUE(grab.FetchUrl(two.Url("/b"), page, nullptr));
    EXPECT_EQ(grab.Session(), session);
    EXPECT_EQ(page, "two");
    EXPECT_EQ(grab.RawHeaders().find("X-First"), std::string::npos);
    EXPECT_NE(grab.RawHeaders().find("X-Second: 2"), std::string::npos);
    // The status window named first stays in force.
    EXPECT_EQ(LastLine(), "");
    EXPECT_EQ(std::count(Lines().begin(), Lines().end(), "Searching 3 bytes"), 2);

    EXPECT_FALSE(grab.FetchUrl(UrlWithNobodyListening(), page, nullptr));
    EXPECT_EQ(grab.RawHeaders(), "");
    EXPECT_EQ(grab.HttpStatus(), 0u);
}

TEST_F(WebFetch, WithoutAStatusWindowTheLinesAreStillKept) {
    LoopbackHttpServer server(Reply::Page("HTTP/1.1 200 OK", "quiet"));
    ASSERT_TRUE(grab.FetchUrl(server.Url("/"), page, nullptr));
    EXPECT_EQ(page, "quiet");
    EXPECT_TRUE(Lines().empty());
    EXPECT_EQ(grab.Session()->LastStatus(), "");
    // A window named by a later fetch of the same session shows that fetch's lines.
    ASSERT_TRUE(grab.FetchUrl(server.Url("/"), page, statusWindow));
    EXPECT_EQ(std::count(Lines().begin(), Lines().end(), "Searching 5 bytes"), 1);
    EXPECT_EQ(LastLine(), "");
}

TEST_F(WebFetch, TheSystemsProxySettingsCarryTheRequestsOfADefaultSession) {
    LoopbackHttpServer proxy(Reply::Page("HTTP/1.1 200 OK", "via the system's proxy"));
    SystemProxyOverride settings(proxy.Port());
    ASSERT_TRUE(grab.FetchUrl("http://video.example/page", page, statusWindow));
    EXPECT_EQ(page, "via the system's proxy");
    EXPECT_EQ(proxy.RequestLines(),
              (std::vector<std::string>{"GET http://video.example:80/page HTTP/1.1"}));
}

TEST_F(WebFetch, AnExplicitProxyIsHostColonPortAndCarriesTheRequests) {
    grab.useProxy = true;
    grab.proxyHost = "proxy";
    grab.proxyPort = 8080;
    ASSERT_TRUE(grab.OpenFetchSession(nullptr));
    char buffer[512] = {};
    DWORD size = sizeof buffer;
    ASSERT_TRUE(
        InternetQueryOptionA(grab.Session()->Handle(), INTERNET_OPTION_PROXY, buffer, &size));
    const auto* info = reinterpret_cast<const INTERNET_PROXY_INFO*>(buffer);
    EXPECT_EQ(info->dwAccessType, DWORD(INTERNET_OPEN_TYPE_PROXY));
    EXPECT_STREQ(reinterpret_cast<const char*>(info->lpszProxy), "proxy:8080");

    LoopbackHttpServer proxy(Reply::Page("HTTP/1.1 200 OK", "via proxy"));
    grab.proxyHost = "127.0.0.1";
    grab.proxyPort = proxy.Port();
    ASSERT_TRUE(grab.OpenFetchSession(statusWindow));
    ASSERT_TRUE(grab.FetchUrl("http://video.example/results?q=x", page, nullptr));
    EXPECT_EQ(page, "via proxy");
    ASSERT_EQ(proxy.RequestLines().size(), 1u);
    EXPECT_TRUE(proxy.RequestLines()[0].starts_with("GET http://video.example"))
        << proxy.RequestLines()[0];
}

// The server sends the head and then nothing: only the receive time-out ends the fetch.
TEST_F(WebFetch, AReceiveTimeoutGivenForNewSessionsEndsAStalledFetch) {
    LoopbackHttpServer server(Reply::Stall(Body(10000)));
    grab.receiveTimeout = 800;
    ASSERT_TRUE(grab.OpenFetchSession(statusWindow));
    const ULONGLONG start = GetTickCount64();
    EXPECT_FALSE(grab.FetchUrl(server.Url("/"), page, nullptr));
    const ULONGLONG waited = GetTickCount64() - start;
    EXPECT_GE(waited, 700u);
    EXPECT_LT(waited, 10000u);
    EXPECT_EQ(page, "");
    EXPECT_FALSE(grab.ErrorText().empty());
    EXPECT_EQ(LastLine(), grab.ErrorText());

    // A server that never answers is given up the same way.
    LoopbackHttpServer silent(Reply::Page("HTTP/1.1 200 OK", "late").Delayed(10000));
    const ULONGLONG asked = GetTickCount64();
    EXPECT_FALSE(grab.FetchUrl(silent.Url("/"), page, nullptr));
    EXPECT_LT(GetTickCount64() - asked, 5000u);
    ASSERT_TRUE(grab.OpenFetchSession(nullptr));
    EXPECT_EQ(grab.HttpStatus(), 0u); // a new session forgets the last status
}

TEST_F(WebFetch, TheSessionShowsEachNotificationsLineAsItIsAndForgetsNone) {
    CWebGrabSession session(statusWindow);
    const char formats[] = "%s%n%s.example";
    session.OnFetchStatus(CWebGrabSession::kContext, INTERNET_STATUS_RESOLVING_NAME, formats,
                          sizeof formats);
    EXPECT_EQ(LastLine(), "Resolving name for %s%n%s.example");
    session.OnFetchStatus(CWebGrabSession::kContext, INTERNET_STATUS_RECEIVING_RESPONSE, nullptr,
                          0);
    session.OnFetchStatus(CWebGrabSession::kContext, INTERNET_STATUS_HANDLE_CLOSING, nullptr, 0);
    EXPECT_EQ(Lines().size(), 1u);
    session.OnFetchStatus(CWebGrabSession::kContext, 1234, nullptr, 0);
    EXPECT_EQ(LastLine(), "Unknown status: 1234");
    EXPECT_EQ(session.LastStatus(), "Unknown status: 1234");

    const std::string longText(3000, 'w');
    session.ShowFetchStatus("%s", longText.c_str());
    EXPECT_EQ(LastLine(), std::string(511, 'w'));
    char shown[1024] = {};
    GetWindowTextA(statusWindow, shown, sizeof shown);
    EXPECT_EQ(std::string(shown), std::string(511, 'w'));
}

// Each bound ends a fetch as a broken transfer would, keeping what arrived within it.
TEST_F(WebFetch, TheBoundsGivenEndAStalledTricklingOrEndlessFetch) {
    const std::string body = Body(40000);
    LoopbackHttpServer server;
    server.Route("/stall", Reply::Stall(body));
    server.Route("/silent", Reply::Ok(body).Delayed(20000));
    server.Route("/drip", Reply::Drip(body, 20));
    server.Route("/huge", Reply::Ok(Body(300000)));
    grab.receiveTimeout = 1000;
    grab.totalTime = 2000;
    grab.maxBytes = 100000;
    for (const char* path : {"/stall", "/silent"}) {
        const auto start = GetTickCount64();
        EXPECT_FALSE(grab.FetchUrl(server.Url(path), page, statusWindow)) << path;
        EXPECT_LT(GetTickCount64() - start, 3000u) << path;
        EXPECT_EQ(LastLine(), "Stopped: the site sent nothing for 1 s") << path;
        EXPECT_EQ(page, "") << path;
    }
    const auto start = GetTickCount64();
    EXPECT_FALSE(grab.FetchUrl(server.Url("/drip"), page, statusWindow));
    EXPECT_GE(GetTickCount64() - start, 2000u);
    EXPECT_EQ(LastLine(), "Stopped: the page took longer than 2 s");
    EXPECT_EQ(grab.ErrorText(), LastLine());
    EXPECT_TRUE(body.starts_with(page));
    EXPECT_GT(page.size(), 10u); // what trickled in is kept

    EXPECT_FALSE(grab.FetchUrl(server.Url("/huge"), page, statusWindow));
    EXPECT_EQ(LastLine(), "Stopped: the page is larger than 97 KB");
    EXPECT_EQ(page, Body(100000));
}

} // namespace
