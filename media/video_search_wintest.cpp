#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

#include "app/bar_wintest_support.h"
#include "app/singletons.h"
#include "framework/list_rows.h"
#include "media/media_wintest_support.h"
#include "testing/loopback_http_server.h"
#include "testing/system_proxy_override.h"
#include "testing/window_text_recorder.h"

namespace {

using namespace qv;
using namespace qv::testing;

const std::string kMarker = "<a class=\"newvtitlelink\" href=\"/watch?v=";

std::string Result(const std::string& id, const std::string& title) {
    return "<div class=\"v\">" + kMarker + id + "\" title=\"x\">" + title +
           "</a><br/><span class=\"t\">4:01</span></div>\n";
}

// Longer than any bound of a search, yet finite: a search that waits it out fails its test
// without hanging it, and the system's proxy is put back.
constexpr int kSilenceMs = 15000;

// A page that announces more than it sends: the first bytes, then silence until the
// connection ends.
Reply Announcing(const std::string& first) {
    Reply reply;
    reply.head = "HTTP/1.1 200 OK\r\nContent-Length: 100000000\r\nConnection: close\r\n\r\n";
    reply.body = {{0, first}, {kSilenceMs, ""}};
    return reply;
}

const std::string kPage = "<html><body>" + Result("aaaaaaaaaa1", "<b>Cats</b> on a piano") +
                          Result("bbbbbbbbbb2", "Tom &amp; Jerry&#39;s chase, the full episode") +
                          Result("cccccccccc3", "Caf\xC3\xA9 cr\xC3\xA8me br\xC3\xBBl\xC3\xA9"
                                                "e") +
                          "</body></html>";

// The real panel in search mode, with the loopback server standing in for the video site as
// the system's proxy.
class VideoSearch : public ::testing::Test {
protected:
    void SetUp() override {
        playlist.Write("<song>Morning</song><link>http://r/a.wmv</link>\n");
        ASSERT_TRUE(qv::testing::CreateStartedBar());
        theBar.ClickVideoSearch();
    }
    void TearDown() override { theBar.Destroy(); }

    void Search(const char* query) {
        thePlaylist.QueryBox().SetText(query);
        SendMessageA(thePlaylist.hwnd(), WM_COMMAND, IDOK, 0);
    }
    void ClickAt(int x, int y) {
        SendMessageA(thePlaylist.hwnd(), WM_LBUTTONUP, 0, MAKELPARAM(x, y));
    }
    static std::string RequestLine(const std::string& query, int page) {
        // Through a proxy WinINet names the port.
        return "GET http://www.youtube.com:80/results?search_query=" + query +
               "&search=Search&page=" + std::to_string(page) + " HTTP/1.1";
    }

    // The seconds a search of `query` holds the window's thread.
    double TimedSearch(const char* query) {
        const auto start = std::chrono::steady_clock::now();
        Search(query);
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    // The last status line of the fetch, shown just before the query came back.
    static std::string LastStatus(const WindowTextRecorder& recorder) {
        const auto& texts = recorder.Texts();
        return texts.size() < 2 ? "(none)" : texts[texts.size() - 2];
    }

    FileBesideProgram playlist{"QVPlaylist.ini"};
    FileBesideProgram playerPage{"ut.html"};
};

TEST_F(VideoSearch, EnterFetchesTheResultsPageThroughTheProxyAndListsTheResults) {
    LoopbackHttpServer site(Reply::Page("HTTP/1.1 200 OK", kPage, "text/html; charset=utf-8"));
    SystemProxyOverride proxy(site.Port());
    thePlaylist.QueryBox().SetText("cats & dogs #1");
    WindowTextRecorder queryTexts(thePlaylist.QueryBox().hwnd());
    SendMessageA(thePlaylist.hwnd(), WM_COMMAND, IDOK, 0); // Enter

    EXPECT_EQ(site.RequestLines(),
              (std::vector<std::string>{RequestLine("cats%20%26%20dogs%20%231", 1)}));
    EXPECT_EQ(thePlaylist.SearchUrl(), "http://www.youtube.com/results?search_query="
                                       "cats%20%26%20dogs%20%231&search=Search&page=1");
    EXPECT_EQ(Rows(thePlaylist.ResultList()),
              (std::vector<std::string>{"1. Cats on a piano", "2. Tom & J..e full episode",
                                        "3. Caf\xC3\xA9 cr\xC3\xA8me br\xC3\xBBl\xC3\xA9"
                                        "e"}));
    EXPECT_EQ(Rows(thePlaylist.ResultLinkList()),
              (std::vector<std::string>{"http://www.youtube.com/v/aaaaaaaaaa1",
                                        "http://www.youtube.com/v/bbbbbbbbbb2",
                                        "http://www.youtube.com/v/cccccccccc3"}));

    // The query box: the waiting text, the fetch's lines, and the query back at the end.
    const auto& texts = queryTexts.Texts();
    ASSERT_GE(texts.size(), 4u);
    EXPECT_EQ(texts.front(), "Searching...");
    EXPECT_NE(std::find(texts.begin(), texts.end(), "Sending request..."), texts.end());
    EXPECT_NE(std::find(texts.begin(), texts.end(),
                        "Searching " + std::to_string(kPage.size()) + " bytes"),
              texts.end());
    EXPECT_EQ(texts[texts.size() - 2], "");
    EXPECT_EQ(texts.back(), "cats & dogs #1");
    EXPECT_EQ(thePlaylist.QueryBox().Text(), L"cats & dogs #1");
}

TEST_F(VideoSearch, TheCharsetOfTheReplyDecidesHowTheTitlesAreRead) {
    ASSERT_EQ(GetACP(), 1252u);
    const std::string latin = "<html>" + Result("aaaaaaaaaa1", "Caf\xE9 cr\xE8me") + "</html>";
    LoopbackHttpServer site(Reply::Page("HTTP/1.1 200 OK", latin, "text/html; charset=ISO-8859-1"));
    SystemProxyOverride proxy(site.Port());
    Search("creme");
    EXPECT_EQ(Rows(thePlaylist.ResultList()),
              (std::vector<std::string>{"1. Caf\xC3\xA9 cr\xC3\xA8me"}));
}

// Titles in every script are decoded once from the page and listed as themselves, read back
// through the list's wide messages; a query in any script is sent as UTF-8 and shown again.
TEST_F(VideoSearch, TitlesAndQueriesInAnyScriptStayUnicode) {
    const std::string page =
        "<html>" + Result("aaaaaaaaaa1", "Ειδήσεις") + Result("bbbbbbbbbb2", "Новости") +
        Result("cccccccccc3", "ニュース") + Result("dddddddddd4", "新闻") +
        Result("eeeeeeeeee5", "뉴스") + Result("ffffffffff6", "أخبار") +
        Result("gggggggggg7", "日本語のとて\U00020BB7も長いタイトルの動画ですよよ") + "</html>";
    LoopbackHttpServer site(Reply::Page("HTTP/1.1 200 OK", page, "text/html; charset=utf-8"));
    SystemProxyOverride proxy(site.Port());
    SendMessageW(thePlaylist.QueryBox().hwnd(), WM_SETTEXT, 0, LPARAM(L"ニュース"));
    SendMessageA(thePlaylist.hwnd(), WM_COMMAND, IDOK, 0);
    EXPECT_EQ(site.RequestLines(),
              (std::vector<std::string>{RequestLine("%E3%83%8B%E3%83%A5%E3%83%BC%E3%82%B9", 1)}));
    const std::vector<std::wstring> rows{
        L"1. Ειδήσεις",
        L"2. Новости",
        L"3. ニュース",
        L"4. 新闻",
        L"5. 뉴스",
        L"6. أخبار",
        L"7. 日本語のとて\U00020BB7..も長いタイトルの動画ですよよ"};
    ASSERT_EQ(RowCount(thePlaylist.ResultList()), int(rows.size()));
    for (int row = 0; row < int(rows.size()); ++row) {
        EXPECT_EQ(RowText(thePlaylist.ResultList(), row), rows[size_t(row)]) << row;
    }
    EXPECT_EQ(thePlaylist.QueryBox().Text(), L"ニュース");
}

TEST_F(VideoSearch, NextPageAsksForTheFollowingPageAndNumbersFromOneAgain) {
    LoopbackHttpServer site(Reply::Page("HTTP/1.1 200 OK", kPage));
    SystemProxyOverride proxy(site.Port());
    thePlaylist.QueryBox().SetText("caf\xE9 piano"); // typed in the ANSI code page, sent as UTF-8
    const std::string query = "caf%C3%A9%20piano";
    std::vector<std::string> asked;
    // The panel outlives a test: only a process that has not searched yet shows where the page
    // starts, so that a next page before any search asks for the first.
    if (thePlaylist.SearchUrl().empty()) {
        ClickAt(25, 170);
        asked.push_back(RequestLine(query, 1));
    }
    ClickAt(165, 170); // the search button
    ClickAt(25, 170);  // next page
    ClickAt(38, 175);  // and the one after
    for (int page : {1, 2, 3}) {
        asked.push_back(RequestLine(query, page));
    }
    EXPECT_EQ(site.RequestLines(), asked);
    EXPECT_EQ(RowText(thePlaylist.ResultList(), 0), L"1. Cats on a piano");
    EXPECT_EQ(RowCount(thePlaylist.ResultList()), 3);
}

TEST_F(VideoSearch, ChoosingAResultPlaysItsEmbedLinkAsFlashVideo) {
    LoopbackHttpServer site(Reply::Page("HTTP/1.1 200 OK", kPage));
    SystemProxyOverride proxy(site.Port());
    Search("piano");
    SelectRow(thePlaylist.ResultList(), 0); // chosen by the list itself: the arrow to the next row
    SendMessageA(thePlaylist.ResultList().hwnd(), WM_KEYDOWN, VK_DOWN, 0);
    EXPECT_TRUE(thePlaylist.Playback().fromSearch);
    EXPECT_EQ(thePlaylist.Playback().link, "http://www.youtube.com/v/bbbbbbbbbb2");
    EXPECT_NE(playerPage.Read().find("http://www.youtube.com/v/bbbbbbbbbb2"), std::string::npos);
    EXPECT_TRUE(thePlaylist.IsParked());
}

TEST_F(VideoSearch, AnEmptyQueryAsksNothingAndKeepsTheResults) {
    LoopbackHttpServer site(Reply::Page("HTTP/1.1 200 OK", kPage));
    SystemProxyOverride proxy(site.Port());
    Search("piano");
    const std::string kept = thePlaylist.SearchUrl();
    Search("");
    EXPECT_EQ(site.RequestLines().size(), 1u);
    EXPECT_EQ(thePlaylist.SearchUrl(), kept);
    EXPECT_EQ(RowCount(thePlaylist.ResultList()), 3);
}

TEST_F(VideoSearch, AFailedFetchEmptiesTheListsAndPutsTheQueryBack) {
    {
        LoopbackHttpServer site(Reply::Page("HTTP/1.1 200 OK", kPage));
        SystemProxyOverride proxy(site.Port());
        Search("piano");
        ASSERT_EQ(RowCount(thePlaylist.ResultList()), 3);
    }
    SystemProxyOverride nobody(LoopbackHttpServer::ClosedPort());
    WindowTextRecorder queryTexts(thePlaylist.QueryBox().hwnd());
    SendMessageA(thePlaylist.hwnd(), WM_COMMAND, IDOK, 0);
    EXPECT_EQ(RowCount(thePlaylist.ResultList()), 0);
    EXPECT_EQ(RowCount(thePlaylist.ResultLinkList()), 0);
    const auto& texts = queryTexts.Texts();
    ASSERT_GE(texts.size(), 3u);
    EXPECT_NE(texts[texts.size() - 2], ""); // the platform's message for the failure
    EXPECT_EQ(texts.back(), "piano");
}

TEST_F(VideoSearch, APageCutOffMidwayListsTheResultsThatArrived) {
    std::string page = "<html>";
    while (page.size() < 8190) {
        page += Result("dddddddddd4", "Arrived");
    }
    page.resize(8190);
    Reply reply;
    reply.head = "HTTP/1.1 200 OK\r\nContent-Length: 100000\r\nConnection: close\r\n\r\n";
    reply.body = {{0, page}, {200, ""}};
    reply.end = Reply::End::Reset;
    LoopbackHttpServer site(std::move(reply));
    SystemProxyOverride proxy(site.Port());
    Search("piano");
    const size_t whole = (8190 - 6) / Result("dddddddddd4", "Arrived").size();
    ASSERT_GE(RowCount(thePlaylist.ResultList()), int(whole));
    EXPECT_EQ(RowText(thePlaylist.ResultList(), 0), L"1. Arrived");
    EXPECT_EQ(RowText(thePlaylist.ResultList(), int(whole) - 1),
              std::to_wstring(whole) + L". Arrived");
}

// A site that stops sending holds the program for five seconds of silence at most, before its
// answer or within its body; what arrived is listed.
TEST_F(VideoSearch, ASiteThatFallsSilentIsLeftAfterFiveSeconds) {
    LoopbackHttpServer stalls(Announcing("<html>" + Result("aaaaaaaaaa1", "Arrived")));
    LoopbackHttpServer silent(Reply::Ok(kPage).Delayed(kSilenceMs));
    for (const auto& [site, rows] :
         {std::pair{&stalls, std::vector<std::string>{"1. Arrived"}}, {&silent, {}}}) {
        SystemProxyOverride proxy(site->Port());
        WindowTextRecorder queryTexts(thePlaylist.QueryBox().hwnd());
        const double seconds = TimedSearch("piano");
        EXPECT_GE(seconds, 4.5);
        EXPECT_LT(seconds, 8.0);
        EXPECT_EQ(LastStatus(queryTexts), "Stopped: the site sent nothing for 5 s");
        EXPECT_EQ(Rows(thePlaylist.ResultList()), rows);
        EXPECT_EQ(thePlaylist.QueryBox().Text(), L"piano");
    }
}

// A site that keeps sending a byte now and then is left ten seconds after the search began.
TEST_F(VideoSearch, ATricklingSiteIsLeftTenSecondsAfterTheStart) {
    std::string page = "<html>" + Result("aaaaaaaaaa1", "In time"); // in about 7 seconds
    page.resize(300, ' ');                                          // 15 seconds of it
    LoopbackHttpServer site(Reply::Drip(page, 50));
    SystemProxyOverride proxy(site.Port());
    WindowTextRecorder queryTexts(thePlaylist.QueryBox().hwnd());
    const double seconds = TimedSearch("piano");
    EXPECT_GE(seconds, 9.9);
    EXPECT_LT(seconds, 14.0);
    EXPECT_EQ(LastStatus(queryTexts), "Stopped: the page took longer than 10 s");
    EXPECT_EQ(Rows(thePlaylist.ResultList()), (std::vector<std::string>{"1. In time"}));
}

// An endless page is cut at 4 MB, far above a real results page; the results within are listed.
TEST_F(VideoSearch, AnEndlessPageIsCutAtFourMegabytes) {
    constexpr size_t kCap = size_t(4) << 20;
    const std::string last = Result("bbbbbbbbbb2", "Last within");
    std::string page = "<html>" + Result("aaaaaaaaaa1", "First");
    page.resize(kCap - last.size() - 1, ' ');
    page += last + "  " + Result("cccccccccc3", "Beyond");
    page.resize(kCap + (1 << 20), ' ');
    LoopbackHttpServer site(Announcing(page));
    SystemProxyOverride proxy(site.Port());
    WindowTextRecorder queryTexts(thePlaylist.QueryBox().hwnd());
    Search("piano");
    EXPECT_EQ(LastStatus(queryTexts), "Stopped: the page is larger than 4096 KB");
    EXPECT_EQ(Rows(thePlaylist.ResultList()),
              (std::vector<std::string>{"1. First", "2. Last within"}));
}

} // namespace
