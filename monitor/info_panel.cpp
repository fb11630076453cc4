#include "monitor/info_panel.h"

#include <algorithm>
#include <ctime>

#include "app/quorvel_dlg.h"
#include "app/singletons.h"
#include "monitor/balloon_layout.h"
#include "monitor/bar_cells.h"

namespace qv {

namespace {

constexpr UINT kSectionTimerPeriodMs = 1000;

ProcessorFigures Processor(const SYSTEM_INFO& system) {
    return {system.wProcessorArchitecture,
            system.dwPageSize,
            reinterpret_cast<intptr_t>(system.lpMinimumApplicationAddress),
            reinterpret_cast<intptr_t>(system.lpMaximumApplicationAddress),
            system.dwNumberOfProcessors,
            system.wProcessorLevel};
}

MemoryFigures Memory(const MEMORYSTATUSEX& memory) {
    return {memory.dwMemoryLoad,     memory.ullTotalPhys,     memory.ullAvailPhys,
            memory.ullTotalPageFile, memory.ullAvailPageFile, memory.ullTotalVirtual};
}

NetworkFigures Network(const MIB_IFROW& row, const AdapterAddress& address) {
    NetworkFigures figures;
    figures.description =
        TextUpToZero(row.bDescr, std::min<size_t>(row.dwDescrLen, sizeof row.bDescr));
    std::copy_n(row.bPhysAddr, figures.physicalAddress.size(), figures.physicalAddress.begin());
    figures.ip = address.ip;
    figures.mask = address.mask;
    figures.speed = row.dwSpeed;
    figures.mtu = row.dwMtu;
    figures.inOctets = row.dwInOctets;
    figures.outOctets = row.dwOutOctets;
    figures.inErrors = row.dwInErrors;
    figures.outErrors = row.dwOutErrors;
    return figures;
}

void DrawLine(HDC dc, int x, int y, const std::string& text) {
    TextOutA(dc, x, y, text.c_str(), int(text.size()));
}

} // namespace

SectionLayout InfoSectionLayout(int section, const SYSTEM_INFO& system,
                                const MEMORYSTATUSEX& memory, const AdapterAddress& address) {
    switch (section) {
    case kMediaSection:
        return MediaSection(thePlaylist.nowPlaying, int64_t(std::time(nullptr)),
                            MonitoredAdapterRow.dwInOctets);
    case kProcessorSection:
        return ProcessorSection(Processor(system));
    case kMemorySection:
        return MemorySection(Memory(memory));
    default:
        return NetworkSection(Network(MonitoredAdapterRow, address));
    }
}

void DrawInfoSection(HDC dc, const SectionLayout& layout, HFONT bold, HFONT normal) {
    SetTextColor(dc, RGB(0, 0, 0));
    SetBkColor(dc, kBalloonCream);
    const SelectGuard boldSelected(dc, bold);
    DrawLine(dc, kHeadingX, kHeadingY, layout.heading);
    const SelectGuard normalSelected(dc, normal);
    for (size_t row = 0; row < layout.rows.size(); ++row) {
        DrawLine(dc, kLabelX, SectionRowY(row), layout.rows[row].label);
        DrawLine(dc, layout.valueX, SectionRowY(row), layout.rows[row].value);
    }
}

void CQuorvelDlg::ShowInfoSection(int section) {
    const PixelRect rect =
        BalloonRect(section, GetSystemMetrics(SM_CXSCREEN), thePlaylist.nowPlaying.isPlaying);
    theBalloon.Place(rect);
    // A quick move can jump from one cell to the next without passing the gap between them, so
    // the other sections stop here too: two of them would paint over each other.
    StopSectionTimers();
    SetTimer(hwnd_, SectionTimerId(section), kSectionTimerPeriodMs, nullptr);
    PaintInfoSection(section);
    // A hover never takes the keyboard focus from the window the user is typing in.
    SetWindowPos(theBalloon.hwnd(), HWND_TOPMOST, 0, 0, 0, 0,
                 SWP_NOSIZE | SWP_NOMOVE | SWP_SHOWWINDOW | SWP_NOACTIVATE);
    theBalloon.FadeIn();
}

void CQuorvelDlg::StopSectionTimers() {
    for (int section = kMediaSection; section <= kNetworkSection; ++section) {
        KillTimer(hwnd_, SectionTimerId(section));
    }
}

void CQuorvelDlg::PaintInfoSection(int section) {
    SYSTEM_INFO system{};
    GetSystemInfo(&system);
    memoryStatus.dwLength = sizeof memoryStatus;
    GlobalMemoryStatusEx(&memoryStatus);
    const AdapterAddress address = ReadAdapterAddress(adapterPosition);
    const WindowDC balloon(theBalloon.hwnd());
    DrawInfoSection(balloon.get(), InfoSectionLayout(section, system, memoryStatus, address),
                    headingFont_.Get(faceName, headingFontHeight, FW_BOLD),
                    panelFont_.Get(faceName, panelFontHeight, FW_NORMAL));
}

} // namespace qv
