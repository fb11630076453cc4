#include "monitor/bar_cells.h"

#include <algorithm>
#include <cmath>

#include "app/bar_layout.h"
#include "app/quorvel_dlg.h"
#include "monitor/adapter_sampler.h"
#include "monitor/cpu_sampler.h"
#include "monitor/quantity_format.h"

namespace qv {

namespace {

constexpr int kTextY = 1;
constexpr int kGaugeTop = 13;
constexpr int kGaugeBottom = 17;

struct Gauge {
    int left;
    int right;
};
constexpr Gauge kCpuGauge{52, 75};
constexpr Gauge kMemoryGauge{78, 116};

template <size_t Capacity> void DrawCellText(HDC dc, int x, const FixedText<Capacity>& text) {
    TextOutA(dc, x, kTextY, text.c_str(), int(text.size()));
}

// The null pen leaves each rectangle its interior only. A load outside 0 to 100 (the CPU figure
// is not clamped) keeps its fill inside the track rather than painting over the skin beside it.
void DrawGauge(HDC dc, const GaugeTools& tools, const Gauge& gauge, double percent) {
    const int fillRight = std::clamp(
        TruncateToInt(std::fabs(percent / 100.0 * (gauge.right - gauge.left) + gauge.left)),
        gauge.left, gauge.right);
    const SelectGuard pen(dc, tools.pen);
    {
        const SelectGuard brush(dc, tools.track);
        Rectangle(dc, gauge.left, kGaugeTop, gauge.right, kGaugeBottom);
    }
    const SelectGuard brush(dc, tools.fill);
    Rectangle(dc, gauge.left, kGaugeTop, fillRight, kGaugeBottom);
}

constexpr int kSkinWidth = 235;

// The skin is decoded from the resources once; each tick copies it afresh onto the canvas,
// which costs a fraction of loading it again.
struct SkinBitmaps {
    UniqueBitmap skin;
    UniqueBitmap canvas;
};

const SkinBitmaps& TheSkinBitmaps(HDC screenCompatible) {
    static const SkinBitmaps bitmaps{
        UniqueBitmap(LoadBitmapA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDB_BAR_SKIN))),
        UniqueBitmap(CreateCompatibleBitmap(screenCompatible, kSkinWidth, kBarHeight))};
    return bitmaps;
}

BarCellFigures SampleBarFigures(MEMORYSTATUSEX& memoryStatus) {
    BarCellFigures figures;
    figures.cpuLoad = SampleCpuLoad();
    memoryStatus.dwLength = sizeof memoryStatus;
    GlobalMemoryStatusEx(&memoryStatus);
    figures.memoryLoad = memoryStatus.dwMemoryLoad;
    figures.availablePhysical = memoryStatus.ullAvailPhys;
    figures.rates = SampleAdapterRates();
    return figures;
}

} // namespace

UniqueFont CreateMonitorFont(const char* face, int height, int weight) {
    return UniqueFont(CreateFontA(height, 0, 0, 0, weight, FALSE, FALSE, FALSE, ANSI_CHARSET,
                                  OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY,
                                  FF_SWISS, face));
}

void ComposeBarCells(HDC dc, const BarCellFigures& figures, const GaugeTools& tools) {
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(255, 255, 255));
    DrawCellText(dc, 51, FormatPercent(TruncateToInt(figures.cpuLoad)));
    DrawGauge(dc, tools, kCpuGauge, figures.cpuLoad);
    DrawCellText(dc, 78, FormatCompactSize(float(figures.availablePhysical)));
    DrawGauge(dc, tools, kMemoryGauge, figures.memoryLoad);
    DrawCellText(dc, 119, figures.rates);
}

// Each tick starts from a fresh copy of the skin and changes the bar with one copy of the strip.
void CQuorvelDlg::PaintBarCells() {
    const BarCellFigures figures = SampleBarFigures(memoryStatus);
    const UniqueFont font = CreateMonitorFont(faceName, barFontHeight, FW_NORMAL);
    const WindowDC bar(hwnd_);
    const SkinBitmaps& bitmaps = TheSkinBitmaps(bar.get());
    const UniqueMemoryDC skin(CreateCompatibleDC(bar.get()));
    const UniqueMemoryDC canvas(CreateCompatibleDC(bar.get()));
    const SelectGuard skinSelected(skin.get(), bitmaps.skin.get());
    const SelectGuard canvasSelected(canvas.get(), bitmaps.canvas.get());
    BitBlt(canvas.get(), 0, 0, kSkinWidth, kBarHeight, skin.get(), 0, 0, SRCCOPY);
    const SelectGuard fontSelected(canvas.get(), font.get());
    ComposeBarCells(canvas.get(), figures,
                    {gaugePen.get(), gaugeTrackBrush.get(), gaugeFillBrush.get()});
    const RECT& strip = kBarCellStrip;
    BitBlt(bar.get(), strip.left, strip.top, strip.right - strip.left, strip.bottom - strip.top,
           canvas.get(), strip.left, strip.top, SRCCOPY);
}

} // namespace qv
