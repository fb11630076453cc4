// Not a test: what listing a 10,000-item feed costs the window's thread, and the longest the
// window's thread waits while a feed run downloads from a misbehaving loopback server. Built with
// the program; run it by hand with wine (see README).
#include <windows.h>
#include <commctrl.h>
#include <ole2.h>

#include <algorithm>
#include <cstdio>
#include <fstream>

#include "framework/program_file_path.h"
#include "news/news_wintest_support.h"
#include "news/rss_dlg.h"
#include "testing/loopback_http_server.h"

namespace {

using namespace qv;
using namespace qv::testing;

double Milliseconds(LARGE_INTEGER from, LARGE_INTEGER to) {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return double(to.QuadPart - from.QuadPart) * 1000.0 / double(frequency.QuadPart);
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

void TimeListing(CRssDlg& panel, const std::string& path, const char* name) {
    double best = 1e9, worst = 0;
    for (int round = 0; round < 5; ++round) {
        LARGE_INTEGER start, end;
        QueryPerformanceCounter(&start);
        panel.FillNewsLists(path);
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
                   {}};
    for (int n = 0; n < kFeedCount; ++n) {
        job.paths[n] = folder + "bench-feed-" + std::to_string(n + 1) + ".xml";
    }
    FeedWorker worker;
    worker.SetLimits({2000, 2000, 4000, uint64_t(16) << 20});
    GuiPinger pinger(window);
    worker.Start(window, WM_APP + 1, job);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        if (msg.message == WM_APP + 1) {
            break;
        }
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    worker.Finished();
    pinger.Stop();
    std::printf("Feed run against a dripping, stalled, resetting and oversized server: longest "
                "wait of the window's thread %lu ms over %d pings (target at most 100 ms)\n",
                pinger.LongestWaitMs(), pinger.Pings());
    for (const std::string& path : job.paths) {
        DeleteFileA(path.c_str());
    }
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
        panel.Destroy();
    }
    DeleteFileA(path.c_str());
    OleUninitialize();
    return 0;
}
