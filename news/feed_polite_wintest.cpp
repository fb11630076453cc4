#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include "app/singletons.h"
#include "media/media_wintest_support.h"
#include "news/news_wintest_support.h"
#include "news/tab_tips.h"
#include "testing/loopback_http_server.h"

namespace {

using namespace qv;
using namespace qv::testing;
using Strings = std::vector<std::string>;

constexpr int64_t kStart = 1'800'000'000; // 2027-01-15 08:00:00 UTC
constexpr int64_t kPeriod = 600;          // "10 Minutes"
int64_t now = kStart;

const std::string kFeedA = "<rss><item><title>a</title><link>http://a/</link></item></rss>";
const std::string kFeedB = "<rss><item><title>b</title><link>http://b/</link></item></rss>";
const std::string kModified = "Tue, 08 Dec 2026 01:00:00 GMT";

Reply Tagged(const std::string& body, const std::string& etag) {
    return Reply::Page("HTTP/1.1 200 OK", body,
                       "application/rss+xml\r\nETag: " + etag + "\r\nLast-Modified: " + kModified);
}

Reply Status(const std::string& statusLine, const std::string& headers = {}) {
    return Reply::Page(statusLine, "busy", "text/plain" + headers);
}

// Feed 1 alone comes from the loopback server; the others have no address. The runs decide by
// a clock the test sets.
class PoliteFeedRuns : public ::testing::Test {
protected:
    void SetUp() override {
        now = kStart;
        settings.Number("UpdateFrequency", 1);
        settings.Text("Rss1", "One^" + server.Url("/f1"));
        theNews.SetClock([] { return now; });
    }
    void TearDown() override {
        theNews.Destroy();
        theNews.SetClock(&UtcSecondsNow);
    }

    void Start(Reply first) {
        server.Route("/f1", std::move(first));
        ASSERT_TRUE(theNews.Create(nullptr));
        ASSERT_TRUE(WaitForFeedRuns(theNews));
    }
    // A periodic run, or the user's Refresh, at the given time.
    void RunAt(int64_t time, bool refresh = false) {
        now = time;
        if (refresh) {
            SendMessageA(theNews.hwnd(), WM_LBUTTONUP, 0, MAKELPARAM(236, 272));
        } else {
            SendMessageA(theNews.hwnd(), WM_TIMER, UpdateTimer, 0);
        }
        ASSERT_TRUE(WaitForFeedRuns(theNews));
    }
    int Asked() const { return server.Requests("/f1"); }
    std::string LastHead() const { return server.RequestHeads().back(); }
    Strings Titles() const { return ListRows(theNews, IDC_NEWS_TITLES); }
    std::wstring TipText(int feed) const {
        wchar_t text[512] = {};
        TOOLINFOW tool{};
        tool.cbSize = sizeof tool;
        tool.hwnd = theNews.hwnd();
        tool.uId = UINT_PTR(feed);
        tool.lpszText = text;
        SendMessageW(theNews.TabTipWindow(), TTM_GETTEXTW, std::size(text), LPARAM(&tool));
        return text;
    }

    NewsSettings settings;
    FileBesideProgram files[5]{FileBesideProgram("Rss1.xml"), FileBesideProgram("Rss2.xml"),
                               FileBesideProgram("Rss3.xml"), FileBesideProgram("Rss4.xml"),
                               FileBesideProgram("Rss5.xml")};
    LoopbackHttpServer server;
};

// A UTC time as the system writes it for the user, with its date when it is not that day's.
std::wstring SystemWords(WORD day, WORD hour, WORD minute, bool withDate) {
    const SYSTEMTIME utc{2027, 1, 0, day, hour, minute, 0, 0};
    SYSTEMTIME local{};
    SystemTimeToTzSpecificLocalTime(nullptr, &utc, &local);
    wchar_t date[64] = {}, time[64] = {};
    GetDateFormatEx(LOCALE_NAME_USER_DEFAULT, DATE_SHORTDATE, &local, nullptr, date, 64, nullptr);
    GetTimeFormatEx(LOCALE_NAME_USER_DEFAULT, TIME_NOSECONDS, &local, nullptr, time, 64);
    return withDate ? std::wstring(date) + L" " + time : time;
}

bool Has(const std::string& head, const std::string& line) {
    return head.find("\r\n" + line + "\r\n") != std::string::npos;
}

TEST_F(PoliteFeedRuns, AnUnchangedFeedCostsA304AndKeepsItsFileAndRows) {
    Start(Tagged(kFeedA, "\"v1\""));
    EXPECT_FALSE(Has(LastHead(), "If-None-Match: \"v1\""));
    server.Route("/f1", "If-None-Match: \"v1\"", Status("HTTP/1.1 304 Not Modified"));
    const int64_t nextDay = kStart + 24 * 3600;
    RunAt(nextDay);
    EXPECT_EQ(Asked(), 2);
    EXPECT_TRUE(Has(LastHead(), "If-Modified-Since: " + kModified));
    EXPECT_EQ(files[0].Read(), kFeedA);
    EXPECT_EQ(Titles(), Strings{"1. a"});
    EXPECT_EQ(TipText(1), L"Checked at " + SystemWords(16, 8, 0, false) + L": not modified since " +
                              SystemWords(15, 8, 0, true) + L".");
    for (const int feed : {2, 5}) {
        EXPECT_EQ(TipText(feed), L"No address for this feed: add one in Settings.") << feed;
    }

    server.Route("/f1", "If-None-Match: \"v1\"", Tagged(kFeedB, "\"v2\""));
    RunAt(nextDay + kPeriod);
    EXPECT_EQ(files[0].Read(), kFeedB);
    EXPECT_EQ(Titles(), Strings{"1. b"});
    EXPECT_EQ(TipText(1), L"Updated at " + SystemWords(16, 8, 10, false) + L".");
    RunAt(nextDay + 2 * kPeriod);
    EXPECT_TRUE(Has(LastHead(), "If-None-Match: \"v2\""));
}

TEST_F(PoliteFeedRuns, ValidatorsAreForgottenWithTheirFileOrTheirAddress) {
    Start(Tagged(kFeedA, "\"v1\""));
    files[0].Remove();
    RunAt(kStart + kPeriod);
    EXPECT_EQ(Asked(), 2);
    EXPECT_FALSE(Has(LastHead(), "If-None-Match: \"v1\""));
    EXPECT_FALSE(LastHead().find("If-Modified-Since") != std::string::npos);
    EXPECT_EQ(files[0].Read(), kFeedA);

    settings.Text("Rss1", "One^" + server.Url("/f1?moved"));
    server.Route("/f1?moved", Tagged(kFeedB, "\"v1\""));
    RunAt(kStart + 2 * kPeriod, true); // the settings' OK
    EXPECT_EQ(server.Requests("/f1?moved"), 1);
    EXPECT_FALSE(LastHead().find("If-") != std::string::npos);
}

// Never replaced when it could not be read whole: the feed is asked for in full meanwhile.
TEST_F(PoliteFeedRuns, AStateFileTooLargeToBeOursIsLeftAsItIs) {
    const FileBesideProgram state("Rss1.xml.fetch");
    const std::string large(8 * 1024 + 1, 'x');
    state.Write(large);
    Start(Tagged(kFeedA, "\"v1\""));
    RunAt(kStart + kPeriod);
    EXPECT_EQ(Asked(), 2);
    EXPECT_FALSE(Has(LastHead(), "If-None-Match: \"v1\""));
    EXPECT_EQ(state.Read(), large);
}

// Retry-After holds even the user's own Refresh; in seconds or as a date, then asked again.
TEST_F(PoliteFeedRuns, AServerThatAsksToWaitIsLeftAloneUntilThen) {
    Start(Status("HTTP/1.1 429 Too Many Requests", "\r\nRetry-After: 120"));
    RunAt(kStart + 60, true);
    EXPECT_EQ(Asked(), 1);
    EXPECT_EQ(TipText(1).rfind(L"The server asked to wait until ", 0), 0u) << Narrow(TipText(1));
    server.Route("/f1", Status("HTTP/1.1 503 Service Unavailable",
                               "\r\nRetry-After: Fri, 15 Jan 2027 08:07:00 GMT")); // kStart + 420
    RunAt(kStart + 120);
    EXPECT_EQ(Asked(), 2);
    RunAt(kStart + 419);
    EXPECT_EQ(Asked(), 2);
    RunAt(kStart + 420);
    EXPECT_EQ(Asked(), 3);
}

// The program's own clock: the wait holds an hour later by no test's say.
TEST_F(PoliteFeedRuns, TheSystemClockKeepsTheServersWait) {
    theNews.SetClock(&UtcSecondsNow);
    Start(Status("HTTP/1.1 429 Too Many Requests", "\r\nRetry-After: 3600"));
    RunAt(0, true);
    EXPECT_EQ(Asked(), 1);
}

// Without Retry-After a 503 waits one more period; failures in a row double the wait from the
// period; the user's Refresh asks at once, and the first success ends the back-off.
TEST_F(PoliteFeedRuns, FailingFeedsBackOffAndRecover) {
    Start(Status("HTTP/1.1 503 Service Unavailable"));
    RunAt(kStart + kPeriod);
    EXPECT_EQ(Asked(), 1);
    server.Route("/f1", Status("HTTP/1.1 500 Internal Server Error"));
    RunAt(kStart + 2 * kPeriod);
    EXPECT_EQ(Asked(), 2); // the second failure: two periods from here
    // The run after a wake is no Refresh: it keeps the back-off.
    now = kStart + 3 * kPeriod;
    SendMessageA(theNews.hwnd(), WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC, 0);
    SendMessageA(theNews.hwnd(), WM_TIMER, ResumeRunTimer, 0);
    ASSERT_TRUE(WaitForFeedRuns(theNews));
    EXPECT_EQ(Asked(), 2);
    RunAt(kStart + 4 * kPeriod - 1);
    EXPECT_EQ(Asked(), 2);
    RunAt(kStart + 4 * kPeriod);
    EXPECT_EQ(Asked(), 3);
    EXPECT_EQ(TipText(1).rfind(L"Failing since ", 0), 0u) << Narrow(TipText(1));
    EXPECT_NE(TipText(1).find(L" (3 tries); next try after "), std::wstring::npos);
    RunAt(kStart + 4 * kPeriod + 1, true);
    EXPECT_EQ(Asked(), 4);
    server.Route("/f1", Tagged(kFeedA, "\"v1\""));
    RunAt(kStart + 4 * kPeriod + 2, true);
    EXPECT_EQ(Asked(), 5);
    RunAt(kStart + 4 * kPeriod + 3);
    EXPECT_EQ(Asked(), 6);
    EXPECT_EQ(Titles(), Strings{"1. a"});
}

TEST_F(PoliteFeedRuns, EachTabsTipCoversItsTab) {
    Start(Tagged(kFeedA, "\"v1\""));
    const RECT expected[] = {{15, 265, 51, 281}, {57, 265, 93, 281}, {186, 265, 222, 281}};
    const int feeds[] = {1, 2, 5};
    for (int i = 0; i < 3; ++i) {
        TOOLINFOW tool{};
        tool.cbSize = sizeof tool;
        tool.hwnd = theNews.hwnd();
        tool.uId = UINT_PTR(feeds[i]);
        ASSERT_TRUE(SendMessageW(theNews.TabTipWindow(), TTM_GETTOOLINFOW, 0, LPARAM(&tool)));
        EXPECT_TRUE(EqualRect(&tool.rect, &expected[i])) << feeds[i];
    }
    EXPECT_EQ(SendMessageW(theNews.TabTipWindow(), TTM_GETMAXTIPWIDTH, 0, 0), 260);
}

} // namespace
