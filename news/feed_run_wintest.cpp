#include <windows.h>
#include <tlhelp32.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <memory>

#include "app/singletons.h"
#include "media/media_wintest_support.h"
#include "framework/program_file_path.h"
#include "framework/wide_text.h"
#include "news/feed_download.h"
#include "news/feed_file.h"
#include "news/feed_worker.h"
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
    void ClickTab(int n) const {
        const int left[] = {15, 57, 100, 143, 186};
        SendMessageA(theNews.hwnd(), WM_LBUTTONUP, 0, MAKELPARAM(left[n - 1], 270));
    }
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
    // The marker shows once a feed is.
    EXPECT_FALSE(GetWindowLongA(theNews.Item(IDC_NEWS_TAB_MARKER), GWL_STYLE) & WS_VISIBLE);
    EXPECT_TRUE(theNews.FeedRunGoing()); // downloads never hold the window's thread
    ASSERT_TRUE(WaitForFeedRuns(theNews));
    EXPECT_EQ(server.RequestLines(), (Strings{"GET /feed1.xml HTTP/1.1", "GET /feed2.xml HTTP/1.1",
                                              "GET /feed3.xml HTTP/1.1", "GET /feed4.xml HTTP/1.1",
                                              "GET /feed5.xml HTTP/1.1"}));
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
    settings.UnicodeText("Rss1", "Disk^" + url);
    CreatePanel();
    ASSERT_TRUE(WaitForFeedRuns(theNews));
    EXPECT_EQ(Titles(), (Strings{"1. disk 1", "2. disk 2"}));
    local.Write(Feed("edited", 1));
    theNews.StartFeedDownload();
    ASSERT_TRUE(WaitForFeedRuns(theNews));
    EXPECT_EQ(files[0].Read(), Feed("edited", 1));
    EXPECT_EQ(Titles(), (Strings{"1. edited 1"}));
}

// A folder named in scripts outside the ANSI code page, beside the program.
class FolderInEveryScript {
public:
    FolderInEveryScript() { CreateDirectoryW(FromUtf8(path_).c_str(), nullptr); }
    ~FolderInEveryScript() {
        DeleteFileW(FromUtf8(File()).c_str());
        RemoveDirectoryW(FromUtf8(path_).c_str());
    }
    std::string File() const { return path_ + "\\feed.xml"; }
    void Write(const std::string& bytes) const {
        std::ofstream(std::filesystem::path(FromUtf8(File())), std::ios::binary) << bytes;
    }

private:
    // Квартал Ωμέγα 東京
    const std::string path_ = ProgramFilePath("\xD0\x9A\xD0\xB2\xD0\xB0\xD1\x80\xD1\x82\xD0\xB0"
                                              "\xD0\xBB \xCE\xA9\xCE\xBC\xCE\xAD\xCE\xB3\xCE\xB1 "
                                              "\xE6\x9D\xB1\xE4\xBA\xAC");
};

// A path in another script is asked for as its UTF-8, percent-encoded, and a file: feed in a
// folder so named is read; narrowed to the ANSI page, the same address asks for another path.
TEST_F(FeedRuns, AddressesAndFoldersInAnyScriptAreFetched) {
    const std::string lenta = "/\xD0\xBB\xD0\xB5\xD0\xBD\xD1\x82\xD0\xB0.xml"; // /лента.xml
    server.Route("/%D0%BB%D0%B5%D0%BD%D1%82%D0%B0.xml", Reply::Ok(Feed("lenta", 2)));
    settings.UnicodeText("Rss1", "Lenta^" + server.Url(lenta));
    const FolderInEveryScript folder;
    folder.Write(Feed("disk", 1));
    std::string local = "file:///" + folder.File();
    std::replace(local.begin(), local.end(), '\\', '/');
    settings.UnicodeText("Rss2", "Disk^" + local);
    CreatePanel();
    ASSERT_TRUE(WaitForFeedRuns(theNews));
    EXPECT_EQ(server.RequestLines().front(), "GET /%D0%BB%D0%B5%D0%BD%D1%82%D0%B0.xml HTTP/1.1");
    EXPECT_EQ(Titles(), (Strings{"1. lenta 1", "2. lenta 2"}));
    ClickTab(2);
    EXPECT_EQ(Titles(), (Strings{"1. disk 1"}));

    const FileBesideProgram scratch("narrowed.xml");
    FeedDownloader({}).Download(Narrow(FromUtf8(server.Url(lenta))), scratch.path());
    EXPECT_NE(server.RequestLines().back().find("GET /?"), std::string::npos)
        << server.RequestLines().back();
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
    EXPECT_EQ(server.MostRequestsWaitingAtOnce(), 1);
    // No thread of the program stays between runs; the server's own end in their time.
    const auto onlyServerThreadsAdded = [&] {
        return ThreadsOfThisProcess() == threadsBefore + server.ConnectionsBeingServed();
    };
    PumpMessagesUntil(onlyServerThreadsAdded);
    EXPECT_TRUE(onlyServerThreadsAdded());
}

// A run the panel left behind when it closed reports to nobody when it ends at last.
TEST_F(FeedRuns, ARunLeftBehindPostsNothingWhenItEnds) {
    constexpr UINT kDone = WM_APP + 7;
    const HWND listener =
        CreateWindowExA(0, "Static", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    const int threadsBefore = ThreadsOfThisProcess();
    auto stalling = std::make_unique<LoopbackHttpServer>(Reply::Stall(Feed("late", 1)));
    FeedRunJob job;
    for (int n = 0; n < 5; ++n) {
        job.urls[size_t(n)] = stalling->Url(FeedPath(n + 1));
        job.paths[size_t(n)] = files[n].path();
    }
    FeedWorker worker;
    ASSERT_TRUE(worker.StartRun(listener, kDone, job));
    worker.Abandon();
    stalling.reset(); // the stalled reply ends: the run fails its feeds and ends
    // Not a message loop: a message posted to the window must stay in its queue.
    const DWORD deadline = GetTickCount() + 20000;
    while (ThreadsOfThisProcess() != threadsBefore && GetTickCount() < deadline) {
        Sleep(10);
    }
    ASSERT_EQ(ThreadsOfThisProcess(), threadsBefore);
    MSG message;
    EXPECT_FALSE(PeekMessageA(&message, listener, kDone, kDone, PM_REMOVE));
    DestroyWindow(listener);
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

// Written again in place, as long as before, at another time.
void Rewrite(const FileBesideProgram& file, const std::string& bytes) {
    file.Write(bytes);
    const UniqueKernelHandle handle = OwnFileHandle(CreateFileA(
        file.path().c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    const FILETIME longAgo{0, 0x01C00000};
    SetFileTime(handle.get(), nullptr, nullptr, &longAgo);
}

// A tab shows the rows the run read at once; a file changed since is read again by the feed
// thread alone: nothing downloaded, the update timer left as it is.
TEST_F(FeedRuns, ATabShowsTheRowsReadUnlessItsFileChangedThenReadsItAlone) {
    CreatePanel();
    ASSERT_TRUE(WaitForFeedRuns(theNews));
    KillTimer(theNews.hwnd(), UpdateTimer);
    ClickTab(3);
    EXPECT_EQ(Titles(), (Strings{"1. f3 1", "2. f3 2", "3. f3 3"}));
    EXPECT_FALSE(theNews.FeedRunGoing()); // nothing to read

    Rewrite(files[1], Feed("g2", 2));
    ClickTab(2);
    EXPECT_EQ(Titles(), Strings{}); // never feed 3's rows under tab 2
    EXPECT_TRUE(theNews.FeedRunGoing());
    ASSERT_TRUE(WaitForFeedRuns(theNews));
    EXPECT_EQ(Titles(), (Strings{"1. g2 1", "2. g2 2"}));
    EXPECT_EQ(Links(), (Strings{"http://g2/1", "http://g2/2"}));

    // Read while another tab is shown: kept, not listed.
    files[3].Write(Feed("g4", 1));
    ClickTab(4);
    ClickTab(3);
    ASSERT_TRUE(WaitForFeedRuns(theNews));
    EXPECT_EQ(Titles(), (Strings{"1. f3 1", "2. f3 2", "3. f3 3"}));
    ClickTab(4);
    EXPECT_EQ(Titles(), (Strings{"1. g4 1"}));
    EXPECT_FALSE(theNews.FeedRunGoing());
    EXPECT_EQ(AllRequests(), 5);
    EXPECT_FALSE(KillTimer(theNews.hwnd(), UpdateTimer));

    // A Refresh while a file is read waits for the reading, then is made.
    files[4].Write(Feed("g5", 1));
    ClickTab(5);
    ASSERT_TRUE(theNews.FeedRunGoing());
    SendMessageA(theNews.hwnd(), WM_LBUTTONUP, 0, MAKELPARAM(236, 270)); // the refresh button
    ASSERT_TRUE(WaitForFeedRuns(theNews));
    EXPECT_EQ(AllRequests(), 10);
}

// Five scripts, each from another encoding: named by the file, by the reply's charset (a 7-bit
// one), and in a gzip-coded reply that the download inflates.
class FeedsInEveryScript : public FeedRuns {
protected:
    void SetUp() override {
        FeedRuns::SetUp();
        server.Route(
            "/feed1.xml",
            Reply::Ok("<?xml version=\"1.0\" encoding=\"utf-8\"?><rss><item><title>"
                      "<![CDATA[\xD9\x85\xD8\xB1\xD8\xAD\xD8\xA8\xD8\xA7]]> &amp; "
                      "\xCE\x95\xCE\xBB\xCE\xBB\xCE\xB7\xCE\xBD\xCE\xB9\xCE\xBA\xCE\xAC"
                      "</title><link>http://a/caf\xC3\xA9?x=1&amp;y=2</link></item></rss>"));
        server.Route("/feed2.xml",
                     Reply::Ok("<?xml version=\"1.0\" encoding=\"windows-1251\"?><rss><item>"
                               "<title>\xCD\xEE\xE2\xEE\xF1\xF2\xE8</title></item></rss>"));
        server.Route(
            "/feed3.xml",
            Reply::Ok("<?xml version='1.0' encoding='Shift_JIS'?><feed><entry>"
                      "<title>\x93\xFA\x96{</title><link href='http://j/'/></entry></feed>"));
        server.Route("/feed4.xml", Reply::Page("HTTP/1.1 200 OK",
                                               "<rss><item><title>\x1B$B$3$s$K$A$O\x1B(B</title>"
                                               "</item></rss>",
                                               "text/xml; charset=ISO-2022-JP"));
        server.Route("/feed5.xml", Reply::Page("HTTP/1.1 200 OK", kGzipKoreanFeed,
                                               "application/rss+xml\r\nContent-Encoding: gzip"));
        ASSERT_TRUE(theNews.Create(nullptr));
        ASSERT_TRUE(WaitForFeedRuns(theNews));
    }

    // An EUC-KR feed, gzip-coded: its one title is "\uD55C\uAD6D\uC5B4".
    inline static const std::string kGzipKoreanFeed =
        "\x1F\x8B\x08\x00\x00\x00\x00\x00\x02\x03\xB3\xB1\xAF\xC8\xCD\x51\x28\x4B\x2D\x2A\xCE"
        "\xCC\xCF\xB3\x55\x32\xD4\x33\x50\x52\x48\xCD\x4B\xCE\x4F\xC9\xCC\x4B\xB7\x55\x4A\x2D"
        "\x4D\xD6\xCD\x2E\x52\xB2\xB7\xB3\x29\x2A\x2E\xB6\xB3\xC9\x2C\x49\xCD\xB5\xB3\x29\xC9"
        "\x2C\xC9\x49\xB5\x3B\x7E\x71\xE3\xCE\x7D\xEF\x6C\xF4\x21\x3C\x9B\x9C\xCC\xBC\x6C\xBB"
        "\x8C\x92\x92\x02\x2B\x7D\xFD\xEC\x7C\x7D\x43\x1B\x7D\xB0\x88\x8D\x3E\x44\x8F\x3E\x48"
        "\x3F\x00\x9E\x02\x56\x5C\x6C\x00\x00\x00"s;
    inline static const std::vector<std::wstring> kTitles = {
        L"1. \u0645\u0631\u062D\u0628\u0627 & \u0395\u03BB\u03BB\u03B7\u03BD\u03B9\u03BA\u03AC",
        L"1. \u041D\u043E\u0432\u043E\u0441\u0442\u0438", L"1. \u65E5\u672C",
        L"1. \u3053\u3093\u306B\u3061\u306F", L"1. \uD55C\uAD6D\uC5B4"};
};

// A coded body cut short, by a reset or an orderly close, is no feed: the old file stays.
TEST_F(FeedsInEveryScript, AGzipReplyCutShortKeepsTheOldFile) {
    const std::string before = files[4].Read();
    for (const Reply::End end : {Reply::End::Reset, Reply::End::Close}) {
        Reply cut = Reply::Page("HTTP/1.1 200 OK", kGzipKoreanFeed,
                                "application/rss+xml\r\nContent-Encoding: gzip");
        cut.body = {{0, kGzipKoreanFeed.substr(0, kGzipKoreanFeed.size() / 2)}, {100, ""}};
        cut.end = end;
        server.Route("/feed5.xml", cut);
        theNews.StartFeedDownload();
        ASSERT_TRUE(WaitForFeedRuns(theNews));
        EXPECT_EQ(files[4].Read(), before);
    }
}

TEST_F(FeedsInEveryScript, AreKeptInFilesThatReadTheSameAlone) {
    for (int n = 1; n <= 5; ++n) {
        const FeedReading alone =
            ReadFeedRows(ProgramFilePath((Numbered("Rss", n) + ".xml").c_str()), {});
        ASSERT_TRUE(alone.identity) << n;
        EXPECT_EQ(alone.rows.lines, std::vector<std::wstring>{kTitles[n - 1]}) << n;
    }
    theNews.ShowFeed(1);
    EXPECT_EQ(Links(), (Strings{"http://a/caf%C3%A9?x=1&y=2"}));
    // The coded reply was asked for.
    const auto heads = server.RequestHeads();
    EXPECT_TRUE(std::any_of(heads.begin(), heads.end(), [](const std::string& head) {
        return head.starts_with("GET /feed5.xml ") &&
               head.find("\r\nAccept-Encoding: gzip, deflate\r\n") != std::string::npos;
    }));
}

// Only a Unicode list box holds them all: the news window must be a Unicode window.
TEST_F(FeedsInEveryScript, ReachTheListAsUnicode) {
    for (int n = 1; n <= 5; ++n) {
        theNews.ShowFeed(n);
        EXPECT_EQ(UnicodeRows(theNews, IDC_NEWS_TITLES), std::vector<std::wstring>{kTitles[n - 1]})
            << n;
    }
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
