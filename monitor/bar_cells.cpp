#include "monitor/bar_cells.h"

#include <algorithm>
#include <array>
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
constexpr size_t kSkinPixels = size_t(kSkinWidth) * kBarHeight;

UniqueBitmap CreateCanvasBitmap(uint32_t*& bits) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = kSkinWidth;
    info.bmiHeader.biHeight = -kBarHeight;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* memory = nullptr;
    UniqueBitmap bitmap(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &memory, nullptr, 0));
    bits = static_cast<uint32_t*>(memory);
    return bitmap;
}

// What the cells are composed on: a bitmap the size of the skin, kept selected in a memory DC of
// its own, and the skin's pixels to start each tick from. Under Wine every selection of a bitmap
// into a DC costs a round trip to the X resources, and loading the skin costs more than the
// whole rest of the tick, so neither is done per tick.
class BarCanvas {
public:
    BarCanvas()
        : dc_(CreateCompatibleDC(nullptr)), bitmap_(CreateCanvasBitmap(bits_)),
          selected_(dc_.get(), bitmap_.get()) {
        const UniqueBitmap skin(static_cast<HBITMAP>(
            LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDB_BAR_SKIN), IMAGE_BITMAP, 0,
                       0, LR_CREATEDIBSECTION)));
        const UniqueMemoryDC source(CreateCompatibleDC(nullptr));
        const SelectGuard skinSelected(source.get(), skin.get());
        BitBlt(dc_.get(), 0, 0, kSkinWidth, kBarHeight, source.get(), 0, 0, SRCCOPY);
        GdiFlush();
        if (bits_) {
            std::copy_n(bits_, kSkinPixels, skin_.begin());
        }
    }

    // The canvas, holding a fresh copy of the skin.
    HDC Fresh() {
        GdiFlush();
        if (bits_) {
            std::copy(skin_.begin(), skin_.end(), bits_);
        }
        return dc_.get();
    }

private:
    UniqueMemoryDC dc_;
    uint32_t* bits_ = nullptr;
    UniqueBitmap bitmap_;
    SelectGuard selected_;
    std::array<uint32_t, kSkinPixels> skin_{};
};

BarCanvas& TheBarCanvas() {
    static BarCanvas canvas;
    return canvas;
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
    const HDC canvas = TheBarCanvas().Fresh();
    const SelectGuard fontSelected(canvas, barFont_.Get(faceName, barFontHeight, FW_NORMAL));
    ComposeBarCells(canvas, figures, {gaugePen.get(), gaugeTrackBrush.get(), gaugeFillBrush.get()});
    const RECT& strip = kBarCellStrip;
    const WindowDC bar(hwnd_);
    BitBlt(bar.get(), strip.left, strip.top, strip.right - strip.left, strip.bottom - strip.top,
           canvas, strip.left, strip.top, SRCCOPY);
}

} // namespace qv
