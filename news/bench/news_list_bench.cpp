// Not a test: what listing a 10,000-item feed costs the window's thread, and the longest the
// window's thread waits while a feed run downloads from a misbehaving loopback server, and while
// it reads five hostile feeds. Built with the program; run it by hand with wine (see README).
#include <windows.h>
#include <commctrl.h>
#include <ole2.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cstdio>
#include <fstream>
#include <memory>
#include <thread>

#include "framework/program_file_path.h"
#include "news/news_wintest_support.h"
#include "news/rss_dlg.h"
#include "testing/loopback_http_server.h"

namespace {

using namespace qv;
using namespace qv::testing;

constexpr UINT kRunDone = WM_APP + 1;
constexpr UINT kPing = WM_APP + 2;
// The hostile run ends here if the worker has not: a scan that is slow on them takes hours.
constexpr DWORD kHostileRunLimitMs = 60000;

double Milliseconds(LARGE_INTEGER from, LARGE_INTEGER to) {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return double(to.QuadPart - from.QuadPart) * 1000.0 / double(frequency.QuadPart);
}

// Posts a message stamped with the time to the window every few milliseconds, one at a time, and
// keeps the longest any waited before the window's thread took it.
class PostedPinger {
public:
    explicit PostedPinger(HWND window)
        : taken_(CreateEventA(nullptr, FALSE, FALSE, nullptr)),
          thread_([this, window] { Post(window); }) {}
    PostedPinger(const PostedPinger&) = delete;
    PostedPinger& operator=(const PostedPinger&) = delete;
    ~PostedPinger() { Stop(); }

    // On the window's thread, as the ping is taken.
    void Take(const MSG& ping) {
        LARGE_INTEGER posted, now;
        posted.QuadPart = LONGLONG(ping.wParam);
        QueryPerformanceCounter(&now);
        longestMs_ = std::max(longestMs_, Milliseconds(posted, now));
        ++pings_;
        SetEvent(taken_.get());
    }
    void Stop() {
        stop_ = true;
        if (thread_.joinable()) {
            thread_.join();
        }
    }
    double LongestWaitMs() const { return longestMs_; }
    int Pings() const { return pings_; }

private:
    void Post(HWND window) {
        while (!stop_) {
            LARGE_INTEGER now;
            QueryPerformanceCounter(&now);
            PostMessageA(window, kPing, WPARAM(now.QuadPart), 0);
            while (!stop_ && WaitForSingleObject(taken_.get(), 50) == WAIT_TIMEOUT) {
            }
            Sleep(5);
        }
    }

    UniqueKernelHandle taken_;
    std::atomic<bool> stop_{false};
    double longestMs_ = 0;
    int pings_ = 0;
    std::thread thread_;
};

// Handles the window's messages until the run's done message, for at most the given time
// (INFINITE: no bound); answers whether it came. Pings are taken on the way.
bool HandleMessagesUntilRunDone(DWORD milliseconds, PostedPinger* pinger = nullptr) {
    const ULONGLONG end = GetTickCount64() + milliseconds;
    MSG msg;
    for (;;) {
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == kRunDone) {
                return true;
            }
            if (msg.message == kPing && pinger) {
                pinger->Take(msg);
                continue;
            }
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        const ULONGLONG now = GetTickCount64();
        if (milliseconds != INFINITE && now >= end) {
            return false;
        }
        MsgWaitForMultipleObjects(
            0, nullptr, FALSE, milliseconds == INFINITE ? INFINITE : DWORD(end - now), QS_ALLINPUT);
    }
}

std::string TenThousandItems() {
    std::string feed = "<?xml version=\"1.0\" encoding=\"utf-8\"?><rss><channel>";
    for (int i = 1; i <= 10000; ++i) {
        const std::string n = std::to_string(i);
        feed += "<item><title>Headline number " + n +
                " about caf\xC3\xA9s &amp; markets</title>"
                "<link>http://bench.example/" +
                n + "</link><description>Text</description></item>\n";
    }
    return feed + "</channel></rss>";
}

// Handles messages while the panel lists rows a slice at a time, without waiting for more.
void HandleMessagesWhileListing(const CRssDlg& panel, PostedPinger* pinger = nullptr) {
    while (panel.ListingRows()) {
        HandleMessagesUntilRunDone(0, pinger);
    }
}

// The rows are read as the feed thread reads them; the window's thread only fills the lists.
void TimeListing(CRssDlg& panel, const std::string& path, const char* name) {
    const auto rows = std::make_shared<const NewsRows>(ReadFeedRows(path, {}).rows);
    double best = 1e9, worst = 0;
    for (int round = 0; round < 5; ++round) {
        LARGE_INTEGER start, end;
        QueryPerformanceCounter(&start);
        panel.FillNewsLists(rows);
        HandleMessagesWhileListing(panel);
        QueryPerformanceCounter(&end);
        best = std::min(best, Milliseconds(start, end));
        worst = std::max(worst, Milliseconds(start, end));
    }
    std::printf("Listing %s: best %.1f ms, worst %.1f ms, %d rows (target at most 150 ms)\n", name,
                best, worst, int(SendMessageA(panel.Item(IDC_NEWS_TITLES), LB_GETCOUNT, 0, 0)));
}

// A run of five feeds that each misbehave, with the window's thread pinged throughout.
void TimeRun(HWND window, const std::string& folder) {
    LoopbackHttpServer server;
    const std::string body(200000, ' ');
    server.Route("/drip", Reply::Drip(body, 5));
    server.Route("/stall", Reply::Stall(body));
    server.Route("/reset", Reply::ResetMidBody(body));
    server.Route("/big", Reply::Ok(std::string(20 << 20, ' ')));
    FeedRunJob job{{server.Url("/drip"), server.Url("/stall"), server.Url("/reset"),
                    server.Url("/big"), LoopbackHttpServer::RefusedUrl()},
                   {},
                   {}};
    for (int n = 0; n < kFeedCount; ++n) {
        job.paths[n] = folder + "bench-feed-" + std::to_string(n + 1) + ".xml";
    }
    FeedWorker worker;
    worker.SetLimits({2000, 2000, 4000, uint64_t(16) << 20});
    GuiPinger pinger(window);
    worker.StartRun(window, kRunDone, job);
    HandleMessagesUntilRunDone(INFINITE);
    worker.Finished();
    pinger.Stop();
    std::printf("Feed run against a dripping, stalled, resetting and oversized server: longest "
                "wait of the window's thread %lu ms over %d pings (target at most 100 ms)\n",
                pinger.LongestWaitMs(), pinger.Pings());
    for (const std::string& path : job.paths) {
        DeleteFileA(path.c_str());
    }
}

// Exactly 16 MB, the most a download keeps: the head, the unit again and again, the tail.
std::string SixteenMegabytes(std::string head, const std::string& unit,
                             const std::string& tail = "") {
    const size_t size = size_t(16) << 20;
    head.reserve(size);
    while (head.size() + unit.size() + tail.size() <= size) {
        head += unit;
    }
    head += tail;
    head.resize(size, ' ');
    return head;
}

// Each opens a construct it never closes, or hides a script's end behind entities.
std::array<std::string, kFeedCount> HostileFeeds() {
    const std::string item = "<rss><channel><item><title>a</title></item>";
    return {SixteenMegabytes(item, "<!--"), SixteenMegabytes(item, "<![CDATA["),
            SixteenMegabytes(item, "<?"), SixteenMegabytes(item, "<!x"),
            SixteenMegabytes("<rss><channel><item><description>", "&lt;script&gt;x&lt;/script&gt;",
                             "</description></item></channel></rss>")};
}

// A run of five hostile feeds: downloaded, read on the worker, the first one listed at the end
// as the window would, with the window's thread pinged by posted messages throughout.
void TimeHostileRun(CRssDlg& panel, const std::string& folder) {
    LoopbackHttpServer server;
    const std::array<std::string, kFeedCount> feeds = HostileFeeds();
    FeedRunJob job;
    for (int n = 0; n < kFeedCount; ++n) {
        const std::string path = "/hostile" + std::to_string(n + 1) + ".xml";
        server.Route(path, Reply::Ok(feeds[n]));
        job.urls[n] = server.Url(path);
        job.paths[n] = folder + "bench-hostile-" + std::to_string(n + 1) + ".xml";
    }
    FeedWorker worker;
    PostedPinger pinger(panel.hwnd());
    const ULONGLONG start = GetTickCount64();
    worker.StartRun(panel.hwnd(), kRunDone, job);
    const bool ended = HandleMessagesUntilRunDone(kHostileRunLimitMs, &pinger);
    if (ended) {
        const FeedReadings readings = worker.Finished();
        panel.FillNewsLists(
            std::make_shared<const NewsRows>(readings[0] ? readings[0]->rows : NewsRows{}));
        HandleMessagesWhileListing(panel, &pinger);
    } else {
        worker.Abandon(); // it ends with the process
    }
    const std::string outcome =
        ended ? "ended after " + std::to_string(GetTickCount64() - start) + " ms"
              : "had not ended when the measure stopped, after " +
                    std::to_string(kHostileRunLimitMs / 1000) + " s";
    HandleMessagesUntilRunDone(0, &pinger); // the pings posted meanwhile
    pinger.Stop();
    std::printf("Feed run of five 16 MB hostile feeds: longest wait of the window's thread for a "
                "posted message %.1f ms over %d pings (target at most 50 ms); the run %s\n",
                pinger.LongestWaitMs(), pinger.Pings(), outcome.c_str());
    for (const std::string& path : job.paths) {
        DeleteFileA(path.c_str());
        DeleteFileA(DownloadPathFor(path).c_str());
    }
}

// A 16 MB feed of the smallest items there are lists hundreds of thousands of rows: a slice at a
// time, with the window's thread pinged by posted messages throughout.
void TimeTinyItemsListing(CRssDlg& panel, const std::string& folder) {
    const std::string path = folder + "quorvel-bench-tiny-items.xml";
    std::ofstream(path, std::ios::binary)
        << SixteenMegabytes("<rss><channel>", "<item><title>x</title></item>");
    const auto rows = std::make_shared<const NewsRows>(ReadFeedRows(path, {}).rows);
    DeleteFileA(path.c_str());
    PostedPinger pinger(panel.hwnd());
    const ULONGLONG start = GetTickCount64();
    panel.FillNewsLists(rows);
    HandleMessagesWhileListing(panel, &pinger);
    const ULONGLONG took = GetTickCount64() - start;
    HandleMessagesUntilRunDone(0, &pinger);
    pinger.Stop();
    std::printf(
        "Listing a 16 MB feed of %zu tiny items: %llu ms in all; longest wait of the "
        "window's thread for a posted message %.1f ms over %d pings (target at most 50 ms)\n",
        rows->lines.size(), took, pinger.LongestWaitMs(), pinger.Pings());
}

} // namespace

int main() {
    OleInitialize(nullptr);
    INITCOMMONCONTROLSEX controls{sizeof controls, 0xFF};
    InitCommonControlsEx(&controls);
    char folder[MAX_PATH];
    GetTempPathA(MAX_PATH, folder);
    const std::string path = std::string(folder) + "quorvel-bench-10k.xml";
    std::ofstream(path, std::ios::binary) << TenThousandItems();
    {
        CRssDlg panel;
        panel.Create(nullptr);
        TimeListing(panel, path, "10,000 items");
        // The corpus's stress feed beside the clones, when there is one: every script, CDATA,
        // entities and long titles.
        const std::string stress =
            ProgramFilePath("..\\..\\..\\..\\shared\\rss-corpus\\stress-10k.xml");
        if (GetFileAttributesA(stress.c_str()) != INVALID_FILE_ATTRIBUTES) {
            TimeListing(panel, stress, "the 10,000-item stress feed");
        }
        TimeRun(panel.hwnd(), folder);
        TimeHostileRun(panel, folder);
        TimeTinyItemsListing(panel, folder);
        panel.Destroy();
    }
    DeleteFileA(path.c_str());
    OleUninitialize();
    return 0;
}
