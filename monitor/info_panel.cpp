#include "monitor/info_panel.h"

#include <algorithm>
#include <ctime>

#include "framework/display_scale.h"
#include "framework/skin.h"
#include "framework/wide_text.h"

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

// Texts stop short of the balloon's right border, labels short of the value column; a text
// cut there ends in an ellipsis.
constexpr int kBalloonTextRight = 241;
constexpr int kColumnGap = 3;

// Section texts are UTF-8: a title playing in any script shows as itself. Places in 100 % pixels.
void DrawLine(HDC dc, int left, int right, int y, const std::string& text) {
    RECT space{Px(left), Px(y), Px(right), Px(y + kSectionRowHeight + 4)};
    const std::wstring wide = FromUtf8(text);
    DrawTextW(dc, wide.c_str(), int(wide.size()), &space,
              DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
}

} // namespace

SectionLayout InfoSectionLayout(InfoSection section, const NowPlaying& playing,
                                const SYSTEM_INFO& system, const MEMORYSTATUSEX& memory,
                                const NetworkFigures& network) {
    switch (section) {
    case InfoSection::Media:
        return MediaSection(playing, int64_t(std::time(nullptr)), network.inOctets);
    case InfoSection::Processor:
        return ProcessorSection(Processor(system));
    case InfoSection::Memory:
        return MemorySection(Memory(memory));
    default:
        return NetworkSection(network);
    }
}

void DrawInfoSection(HDC dc, const SectionLayout& layout, HFONT bold, HFONT normal) {
    SetTextColor(dc, RGB(0, 0, 0));
    SetBkColor(dc, kBalloonCream);
    const SelectGuard boldSelected(dc, bold);
    DrawLine(dc, kHeadingX, kBalloonTextRight, kHeadingY, layout.heading);
    const SelectGuard normalSelected(dc, normal);
    for (size_t row = 0; row < layout.rows.size(); ++row) {
        const int y = SectionRowY(row);
        DrawLine(dc, kLabelX, layout.valueX - kColumnGap, y, layout.rows[row].label);
        DrawLine(dc, layout.valueX, kBalloonTextRight, y, layout.rows[row].value);
    }
}

void InfoPanel::Connect(HWND bar, CBalloonDlg& balloon, const NowPlaying& playing,
                        const AdapterMonitor& adapter) {
    bar_ = bar;
    balloon_ = &balloon;
    playing_ = &playing;
    adapter_ = &adapter;
}

void InfoPanel::ShowSection(InfoSection section, MEMORYSTATUSEX& memory) {
    const PixelRect rect =
        BalloonRect(section, GetSystemMetrics(SM_CXSCREEN), playing_->isPlaying, CurrentDpi());
    balloon_->Place(rect);
    // A quick move can jump from one cell to the next without passing the gap between them, so
    // the other sections stop here too: two of them would paint over each other.
    StopSectionTimers();
    SetTimer(bar_, SectionTimerId(section), kSectionTimerPeriodMs, nullptr);
    // A hover never takes the keyboard focus from the window the user is typing in.
    SetWindowPos(balloon_->hwnd(), HWND_TOPMOST, 0, 0, 0, 0,
                 SWP_NOSIZE | SWP_NOMOVE | SWP_SHOWWINDOW | SWP_NOACTIVATE);
    // Shown, its images painted, then the texts over them: texts drawn on a hidden balloon would
    // be wiped by its first paint and wait for the section's next tick.
    RedrawWindow(balloon_->hwnd(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    PaintSection(section, memory);
    balloon_->FadeIn();
}

void InfoPanel::StopSectionTimers() const {
    for (const InfoSection section : kInfoSections) {
        KillTimer(bar_, SectionTimerId(section));
    }
}

bool InfoPanel::SectionOfTimer(UINT_PTR timer, InfoSection& section) {
    for (const InfoSection candidate : kInfoSections) {
        if (timer == SectionTimerId(candidate)) {
            section = candidate;
            return true;
        }
    }
    return false;
}

void InfoPanel::PaintSection(InfoSection section, MEMORYSTATUSEX& memory) {
    SYSTEM_INFO system{};
    GetSystemInfo(&system);
    memory.dwLength = sizeof memory;
    GlobalMemoryStatusEx(&memory);
    const AdapterAddress address = adapter_->ReadAddress();
    const WindowDC balloon(balloon_->hwnd());
    DrawInfoSection(
        balloon.get(),
        InfoSectionLayout(section, *playing_, system, memory, adapter_->Figures(address)),
        headingFont_.Get(kSkinFaceName, Px(headingFontHeight_), FW_BOLD),
        panelFont_.Get(kSkinFaceName, Px(panelFontHeight_), FW_NORMAL));
}

} // namespace qv
