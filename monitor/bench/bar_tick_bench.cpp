// Times the bar's once-a-second tick (the samplers and PaintBarCells) in this process, and each
// of its parts, and prints the figures. Run under Wine: wine quorvel_bar_tick_bench.exe [ticks]
#include <winsock2.h>
#include <ws2ipdef.h>
#include <windows.h>
#include <iphlpapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <vector>

#include "app/singletons.h"
#include <netioapi.h>

#include "monitor/adapter_sampler.h"
#include "monitor/bar_cells.h"
#include "monitor/cpu_sampler.h"

namespace {

using namespace qv;

double NowMs() {
    static const double frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return double(f.QuadPart);
    }();
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    return double(counter.QuadPart) * 1000.0 / frequency;
}

double ProcessCpuMs() {
    FILETIME created, exited, kernel, user;
    GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
    auto ms = [](const FILETIME& t) {
        return double((uint64_t(t.dwHighDateTime) << 32) | t.dwLowDateTime) / 10000.0;
    };
    return ms(kernel) + ms(user);
}

void Report(const char* name, int runs, const std::function<void()>& work) {
    const double cpuStart = ProcessCpuMs();
    std::vector<double> times;
    times.reserve(size_t(runs));
    for (int i = 0; i < runs; ++i) {
        const double start = NowMs();
        work();
        times.push_back(NowMs() - start);
    }
    std::sort(times.begin(), times.end());
    double total = 0;
    for (double t : times) {
        total += t;
    }
    const double cpu = (ProcessCpuMs() - cpuStart) / runs;
    std::printf("%-28s mean %.3f ms  median %.3f ms  p95 %.3f ms  process CPU %.3f ms  (%d runs)\n",
                name, total / runs, times[times.size() / 2], times[times.size() * 95 / 100], cpu,
                runs);
}

} // namespace

int main(int argc, char** argv) {
    const int ticks = argc > 1 ? std::max(1, std::atoi(argv[1])) : 2000;
    if (!theBar.Create(nullptr)) {
        std::puts("the bar could not be created");
        return 1;
    }
    KillTimer(theBar.hwnd(), BarRefreshTimer);
    for (int i = 0; i < 50; ++i) {
        SendMessageA(theBar.hwnd(), WM_TIMER, BarRefreshTimer, 0);
    }
    Report("full tick (WM_TIMER 1)", ticks,
           [] { SendMessageA(theBar.hwnd(), WM_TIMER, BarRefreshTimer, 0); });
    Report("  SampleCpuLoad", ticks, [] { SampleCpuLoad(); });
    Report("  GlobalMemoryStatusEx", ticks, [] {
        MEMORYSTATUSEX status{};
        status.dwLength = sizeof status;
        GlobalMemoryStatusEx(&status);
    });
    Report("  SampleAdapterRates", ticks, [] { SampleAdapterRates(); });
    const HWND bar = theBar.hwnd();
    Report("  GetDC/ReleaseDC", ticks, [bar] { WindowDC dc(bar); });
    Report("  CreateFont/Delete", ticks,
           [] { UniqueFont f = CreateMonitorFont("Segoe UI", 12, 400); });
    Report("  LoadBitmap/Delete", ticks, [] {
        UniqueBitmap b(LoadBitmapA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDB_BAR_SKIN)));
    });
    Report("  CreateCompatibleBitmap", ticks, [bar] {
        WindowDC dc(bar);
        UniqueBitmap b(CreateCompatibleBitmap(dc.get(), 235, 18));
    });
    Report("  memory DC", ticks, [bar] {
        WindowDC dc(bar);
        UniqueMemoryDC m(CreateCompatibleDC(dc.get()));
    });
    {
        WindowDC dc(bar);
        UniqueMemoryDC m(CreateCompatibleDC(dc.get()));
        UniqueBitmap b(LoadBitmapA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDB_BAR_SKIN)));
        SelectGuard s(m.get(), b.get());
        UniqueFont f = CreateMonitorFont("Segoe UI", 12, 400);
        SelectGuard fs(m.get(), f.get());
        Report("  compose", ticks, [&] {
            ComposeBarCells(
                m.get(), {25.0, 40, 5000000000ull, RateText::Format("%s", "1.5 KB/20 B")},
                {theBar.gaugePen.get(), theBar.gaugeTrackBrush.get(), theBar.gaugeFillBrush.get()});
        });
        Report("  BitBlt to bar", ticks,
               [&] { BitBlt(dc.get(), 51, 2, 150, 16, m.get(), 51, 2, SRCCOPY); });
        Report("  GetDC+BitBlt+ReleaseDC", ticks, [&] {
            WindowDC d(bar);
            BitBlt(d.get(), 51, 2, 150, 16, m.get(), 51, 2, SRCCOPY);
        });
    }
    Report("  GetIfEntry", ticks, [] {
        MIB_IFROW row{};
        row.dwIndex = MonitoredAdapterRow.dwIndex;
        GetIfEntry(&row);
    });
    NET_LUID luid{};
    ConvertInterfaceIndexToLuid(MonitoredAdapterRow.dwIndex, &luid);
    Report("  GetIfEntry2 by LUID", ticks, [luid] {
        MIB_IF_ROW2 row{};
        row.InterfaceLuid = luid;
        GetIfEntry2(&row);
    });
    Report("  index to LUID", ticks, [] {
        NET_LUID l{};
        ConvertInterfaceIndexToLuid(MonitoredAdapterRow.dwIndex, &l);
    });
    theBar.Destroy();
    return 0;
}
