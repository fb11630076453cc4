#include <windows.h>
#include <tlhelp32.h>

#include <gtest/gtest.h>

#include <algorithm>

#include "app/singletons.h"
#include "media/media_wintest_support.h"
#include "news/news_wintest_support.h"
#include "settings/setting_names.h"
#include "testing/loopback_http_server.h"

namespace {

using namespace qv;
using namespace qv::testing;
using Strings = std::vector<std::string>;
using namespace std::string_literals;

std::string Feed(const std::string& name, int items) {
    std::string feed = "<?xml version=\"1.0\"?><rss><channel><title>" + name + "</title>";
    for (int i = 1; i <= items; ++i) {
        const std::string n = std::to_string(i);
        feed += "<item><title>" + name + " " + n + "</title><link>http://" + name + "/" + n +
                "</link></item>\n";
    }
    return feed + "</channel></rss>\n";
}

std::string Numbered(const char* stem, int n) {
    std::string text(stem);
    text += char('0' + n);
    return text;
}

std::string FeedPath(int n) {
    return Numbered("/feed", n) + ".xml";
}

int ThreadsOfThisProcess() {
    const UniqueKernelHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0));
    THREADENTRY32 entry{};
    entry.dwSize = sizeof entry;
    int count = 0;
    for (BOOL more = Thread32First(snapshot.get(), &entry); more;
         more = Thread32Next(snapshot.get(), &entry)) {
        count += entry.th32OwnerProcessID == GetCurrentProcessId();
    }
    return count;
}

class FeedRuns : public ::testing::Test {
protected:
    void SetUp() override {
        for (int n = 1; n <= 5; ++n) {
            const std::string path = FeedPath(n);
            server.Route(path, Reply::Ok(Feed(Numbered("f", n), n)));
            settings.Text(kFeedSettings[n - 1], Numbered("Feed", n) + "^" + server.Url(path));
        }
    }
    void TearDown() override { theNews.Destroy(); }

    void CreatePanel() { ASSERT_TRUE(theNews.Create(nullptr)); }
    Strings Titles() const { return ListRows(theNews, IDC_NEWS_TITLES); }
    Strings Links() const { return ListRows(theNews, IDC_NEWS_LINKS); }
    int AllRequests() const {
        int total = 0;
        for (int n = 1; n <= 5; ++n) {
            total += server.Requests(FeedPath(n));
        }
        return total;
    }

    NewsSettings settings;
    FileBesideProgram files[5]{FileBesideProgram("Rss1.xml"), FileBesideProgram("Rss2.xml"),
                               FileBesideProgram("Rss3.xml"), FileBesideProgram("Rss4.xml"),
                               FileBesideProgram("Rss5.xml")};
    LoopbackHttpServer server;
};

TEST_F(FeedRuns, AtCreationARunFetchesAllFiveAndListsTheDefaultFeed) {
    settings.Number("DefaultRss", 3);
    CreatePanel();
    EXPECT_TRUE(theNews.FeedRunGoing()); // downloads never hold the window's thread
    ASSERT_TRUE(WaitForFeedRuns(theNews));
    for (int n = 1; n <= 5; ++n) {
        EXPECT_EQ(files[n - 1].Read(), Feed(Numbered("f", n), n)) << n;
    }
    EXPECT_EQ(Titles(), (Strings{"1. f3 1", "2. f3 2", "3. f3 3"}));
    EXPECT_EQ(Links(), (Strings{"http://f3/1", "http://f3/2", "http://f3/3"}));
    EXPECT_EQ(theNews.Feeds().urls[1], server.Url("/feed2.xml"));
    EXPECT_EQ(theNews.Feeds().paths[4], ProgramFilePath("Rss5.xml"));
    EXPECT_TRUE(GetWindowLongA(theNews.Item(IDC_NEWS_TAB_MARKER), GWL_STYLE) & WS_VISIBLE);
    EXPECT_EQ(RectInParent(theNews.Item(IDC_NEWS_TAB_MARKER)), (PixelRect{96, 266, 41, 16}));
}

TEST_F(FeedRuns, ARunAskedForBeforeTheFirstHasBegunIsThatFirstRun) {
    CreatePanel();
    theNews.StartFeedDownload(); // the settings' OK, before the windows have painted
    ASSERT_TRUE(WaitForFeedRuns(theNews));
    PumpMessagesFor(100);
    EXPECT_EQ(AllRequests(), 5);
}

TEST_F(FeedRuns, FailedDownloadsKeepTheFilesAndTheListsWhileTheWindowAnswers) {
    CreatePanel();
    ASSERT_TRUE(WaitForFeedRuns(theNews));
    const std::string body = Feed("changed", 30);
    server.Route("/feed1.xml", Reply::ResetMidBody(body));
    server.Route("/feed2.xml", Reply::Page("HTTP/1.1 404 Not Found", body));
    server.Route("/feed3.xml", Reply::Page("HTTP/1.1 500 Internal Server Error", body));
    server.Route("/feed4.xml", Reply::ShortBody(body));
    settings.Text("Rss5", std::string("Gone^").append(LoopbackHttpServer::RefusedUrl()));
    GuiPinger pinger(theNews.hwnd());
    theNews.StartFeedDownload();
    ASSERT_TRUE(WaitForFeedRuns(theNews));
    pinger.Stop();
    for (int n = 1; n <= 5; ++n) {
        EXPECT_EQ(files[n - 1].Read(), Feed(Numbered("f", n), n)) << n;
    }
    EXPECT_EQ(Titles(), (Strings{"1. f1 1"}));
    EXPECT_GT(pinger.Pings(), 0);
    EXPECT_LT(pinger.LongestWaitMs(), 100u);
}

TEST_F(FeedRuns, ASlowDripOrAStalledServerHoldsNeitherTheWindowNorLaterFeeds) {
    FeedDownloadLimits limits;
    limits.receiveTimeoutMs = 500;
    limits.totalTimeMs = 1500;
    CreatePanel();
    theNews.SetFeedDownloadLimits(limits);
    ASSERT_TRUE(WaitForFeedRuns(theNews));
    server.Route("/feed1.xml", Reply::Drip(Feed("drip", 5), 10));
    server.Route("/feed2.xml", Reply::Stall(Feed("stall", 5)));
    server.Route("/feed3.xml", Reply::Ok(Feed("after", 2)));
    settings.Number("DefaultRss", 3);
    GuiPinger pinger(theNews.hwnd());
    theNews.StartFeedDownload();
    ASSERT_TRUE(WaitForFeedRuns(theNews));
    pinger.Stop();
    EXPECT_EQ(files[0].Read(), Feed("f1", 1));
    EXPECT_EQ(files[1].Read(), Feed("f2", 2));
    EXPECT_EQ(Titles(), (Strings{"1. after 1", "2. after 2"}));
    EXPECT_LT(pinger.LongestWaitMs(), 100u);
}

TEST_F(FeedRuns, AFiftyMegabyteBodyIsNoFeedAndChangesNothingWhileTheWindowAnswers) {
    settings.Number("DefaultRss", 2);
    CreatePanel();
    ASSERT_TRUE(WaitForFeedRuns(theNews));
    std::string big = Feed("big", 3);
    big.insert(big.find("</channel>"), std::string(50 << 20, ' '));
    server.Route("/feed2.xml", Reply::Ok(big));
    std::string fifteen = big.substr(0, 15 << 20);
    fifteen += "</channel></rss>";
    server.Route("/feed3.xml", Reply::Ok(fifteen));
    GuiPinger pinger(theNews.hwnd());
    theNews.StartFeedDownload();
    ASSERT_TRUE(WaitForFeedRuns(theNews, 60000));
    pinger.Stop();
    EXPECT_EQ(files[1].Read(), Feed("f2", 2));
    EXPECT_EQ(Titles(), (Strings{"1. f2 1", "2. f2 2"}));
    EXPECT_EQ(files[2].Read().size(), (15u << 20) + 16); // 15 MB is still a feed
    EXPECT_LT(pinger.LongestWaitMs(), 100u);
}

TEST_F(FeedRuns, ALocalFeedIsReadAgainAtEveryRun) {
    const FileBesideProgram local("local feed.xml");
    local.Write(Feed("disk", 2));
    std::string url = "file:///" + local.path();
    std::replace(url.begin(), url.end(), '\\', '/');
    settings.Text("Rss1", "Disk^" + url);
    CreatePanel();
    ASSERT_TRUE(WaitForFeedRuns(theNews));
    EXPECT_EQ(Titles(), (Strings{"1. disk 1", "2. disk 2"}));
    local.Write(Feed("edited", 1));
    theNews.StartFeedDownload();
    ASSERT_TRUE(WaitForFeedRuns(theNews));
    EXPECT_EQ(files[0].Read(), Feed("edited", 1));
    EXPECT_EQ(Titles(), (Strings{"1. edited 1"}));
}

TEST_F(FeedRuns, RunsAskedForWhileOneGoesAreMadeOnceAfterItNeverAlongside) {
    for (int n = 1; n <= 5; ++n) {
        server.Route(FeedPath(n), Reply::Ok(Feed("slow", 1)).Delayed(150));
    }
    const int threadsBefore = ThreadsOfThisProcess();
    CreatePanel();
    ASSERT_TRUE(theNews.FeedRunGoing());
    SendMessageA(theNews.hwnd(), WM_TIMER, UpdateTimer, 0);              // the update timer
    SendMessageA(theNews.hwnd(), WM_LBUTTONUP, 0, MAKELPARAM(236, 270)); // the refresh button
    theNews.StartFeedDownload();                                         // the settings' OK
    ASSERT_TRUE(WaitForFeedRuns(theNews));
    EXPECT_EQ(AllRequests(), 10); // two runs of five
    EXPECT_EQ(server.MostConnectionsAtOnce(), 1);
    // The server's own connection threads end in their time; no thread stays between runs.
    PumpMessagesUntil([&] { return ThreadsOfThisProcess() == threadsBefore; });
    EXPECT_EQ(ThreadsOfThisProcess(), threadsBefore);
}

TEST_F(FeedRuns, EveryRunReachesTheServer) {
    CreatePanel();
    ASSERT_TRUE(WaitForFeedRuns(theNews));
    server.Route("/feed1.xml", Reply::Ok(Feed("second", 2)));
    SendMessageA(theNews.hwnd(), WM_TIMER, UpdateTimer, 0);
    ASSERT_TRUE(WaitForFeedRuns(theNews));
    EXPECT_EQ(server.Requests("/feed1.xml"), 2);
    EXPECT_EQ(Titles(), (Strings{"1. second 1", "2. second 2"}));
}

TEST_F(FeedRuns, TitlesAreDecodedIntoTheAnsiCodePageAndLinksLeftAsWritten) {
    const auto ansi = [](const wchar_t* wide) {
        char text[256] = {};
        WideCharToMultiByte(CP_ACP, 0, wide, -1, text, sizeof text, nullptr, nullptr);
        return std::string(text);
    };
    server.Route("/feed1.xml", Reply::Ok("<?xml version=\"1.0\" encoding=\"utf-8\"?><rss><item>"
                                         "<title>Caf\xC3\xA9 &amp; cr\xC3\xA8me</title>"
                                         "<link>http://a/caf\xC3\xA9</link></item>"
                                         "<item><title>Na\xEFve</title><link>l</link></item>"));
    server.Route("/feed2.xml",
                 Reply::Ok("<?xml version=\"1.0\" encoding=\"windows-1252\"?><rss><item>"
                           "<title>It\x92s</title><link>x</link></item>"));
    server.Route("/feed3.xml",
                 Reply::Ok("\xFF\xFE<\0i\0t\0e\0m\0>\0<\0t\0i\0t\0l\0e\0>\0\xE9\0<\0/\0t\0i\0t\0"
                           "l\0e\0>\0"s));
    CreatePanel();
    ASSERT_TRUE(WaitForFeedRuns(theNews));
    EXPECT_EQ(Titles(), (Strings{ansi(L"1. Caf\u00E9 &amp; cr\u00E8me"), ansi(L"2. Na\u00EFve")}));
    EXPECT_EQ(Links()[0], "http://a/caf\xC3\xA9");
    theNews.ShowFeed(2);
    EXPECT_EQ(Titles(), (Strings{ansi(L"1. It\u2019s")}));
    theNews.ShowFeed(3);
    EXPECT_EQ(Titles(), (Strings{ansi(L"1. \u00E9")}));
}

} // namespace

TEST_F(FeedRuns, AfterAWakeOneRunFollowsAFewSecondsLaterThenThePeriodAgain) {
    settings.Number("UpdateFrequency", 0);
    CreatePanel();
    ASSERT_TRUE(WaitForFeedRuns(theNews));
    server.Route("/feed1.xml", Reply::Ok(Feed("awake", 1)));
    SendMessageA(theNews.hwnd(), WM_POWERBROADCAST, PBT_APMRESUMESUSPEND, 0); // not every wake
    EXPECT_FALSE(KillTimer(theNews.hwnd(), ResumeRunTimer));
    const ULONGLONG woke = GetTickCount64();
    SendMessageA(theNews.hwnd(), WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC, 0);
    SendMessageA(theNews.hwnd(), WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC, 0);
    EXPECT_FALSE(KillTimer(theNews.hwnd(), UpdateTimer)); // the due run waits for the network
    ASSERT_TRUE(PumpMessagesUntil([&] { return AllRequests() > 5; }, 15000));
    const ULONGLONG waited = GetTickCount64() - woke;
    EXPECT_GE(waited, 4000u);
    EXPECT_LE(waited, 8000u);
    ASSERT_TRUE(WaitForFeedRuns(theNews));
    EXPECT_EQ(Titles(), (Strings{"1. awake 1"}));
    SendMessageA(theNews.hwnd(), WM_TIMER, ResumeRunTimer, 0); // a late tick of the wake's timer
    PumpMessagesFor(1000);
    EXPECT_FALSE(theNews.FeedRunGoing());
    EXPECT_EQ(AllRequests(), 10);                        // one run, not one per wake
    EXPECT_TRUE(KillTimer(theNews.hwnd(), UpdateTimer)); // the five-minute period again
}
