#include "monitor/bar_cells.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <optional>
#include <span>
#include <vector>

#include "framework/display_scale.h"
#include "monitor/adapter_monitor.h"
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

// Where each cell's text starts, and where it is cut: where the next cell's text starts, or the
// edge of the web-search icon. A cut text ends in an ellipsis, but for the CPU load: "100%" in
// a wide face loses the edge of its percent sign rather than two of its digits.
struct CellSpace {
    int left;
    int right;
    UINT cut;
};
constexpr CellSpace kCpuText{51, 78, 0};
constexpr CellSpace kMemoryText{78, 119, DT_END_ELLIPSIS};
constexpr CellSpace kNetworkText{119, 197, DT_END_ELLIPSIS};

// The places above are 100 % pixels.
template <size_t Capacity>
void DrawCellText(HDC dc, const CellSpace& cell, const FixedText<Capacity>& text) {
    RECT space{Px(cell.left), Px(kTextY), Px(cell.right), Px(kBarSkinHeight)};
    DrawTextA(dc, text.c_str(), int(text.size()), &space, DT_SINGLELINE | DT_NOPREFIX | cell.cut);
}

bool FitsIn(HDC dc, const CellSpace& cell, const QuantityText& text) {
    SIZE size{};
    GetTextExtentPoint32A(dc, text.c_str(), int(text.size()), &size);
    return size.cx <= Px(cell.right) - Px(cell.left);
}

// "23.06 GB" gives up its decimals ("23.1 GB", "23 GB") before the cell cuts it: of the texts with
// two, one and no decimals, the first that fits, else the last.
const QuantityText& MemoryText(HDC dc, const std::array<QuantityText, 3>& texts) {
    for (const QuantityText& text : std::span(texts).first(2)) {
        if (FitsIn(dc, kMemoryText, text)) {
            return text;
        }
    }
    return texts.back();
}

Gauge Scaled(const Gauge& gauge) {
    return {Px(gauge.left), Px(gauge.right)};
}

// Where a gauge's fill ends, in the display's pixels. A load outside 0 to 100 (the CPU figure is
// not clamped) keeps its fill inside the track rather than painting over the skin beside it.
int FillEnd(const Gauge& unscaled, double percent) {
    const Gauge gauge = Scaled(unscaled);
    return std::clamp(
        TruncateToInt(std::fabs(percent / 100.0 * (gauge.right - gauge.left) + gauge.left)),
        gauge.left, gauge.right);
}

// The null pen leaves each rectangle its interior only.
void DrawGauge(HDC dc, const GaugeTools& tools, const Gauge& unscaled, int fillEnd) {
    const Gauge gauge = Scaled(unscaled);
    const int top = Px(kGaugeTop);
    const int bottom = Px(kGaugeBottom);
    const SelectGuard pen(dc, tools.pen);
    {
        const SelectGuard brush(dc, tools.track);
        Rectangle(dc, gauge.left, top, gauge.right, bottom);
    }
    const SelectGuard brush(dc, tools.fill);
    Rectangle(dc, gauge.left, top, fillEnd, bottom);
}

// What each cell shows. A cell draws nothing outside its own columns (texts are clipped to them,
// gauges lie inside), so a cell whose look is unchanged since the last tick is left as it is.
struct CpuLook {
    QuantityText text;
    int fillEnd = 0;
    bool operator==(const CpuLook&) const = default;
};

// The texts with two, one and no decimals: the same texts in the same font fit the same.
struct MemoryLook {
    std::array<QuantityText, 3> texts;
    int fillEnd = 0;
    bool operator==(const MemoryLook&) const = default;
};

CpuLook CpuLookOf(double load) {
    return {FormatPercent(TruncateToInt(load)), FillEnd(kCpuGauge, load)};
}

MemoryLook MemoryLookOf(const BarCellFigures& figures) {
    const float available = float(figures.availablePhysical);
    return {{FormatCompactSize(available), FormatCompactSize(available, 1),
             FormatCompactSize(available, 0)},
            FillEnd(kMemoryGauge, figures.memoryLoad)};
}

void DrawCpuCell(HDC dc, const GaugeTools& tools, const CpuLook& look) {
    DrawCellText(dc, kCpuText, look.text);
    DrawGauge(dc, tools, kCpuGauge, look.fillEnd);
}

void DrawMemoryCell(HDC dc, const GaugeTools& tools, const MemoryLook& look) {
    DrawCellText(dc, kMemoryText, MemoryText(dc, look.texts));
    DrawGauge(dc, tools, kMemoryGauge, look.fillEnd);
}

// The cells' looks at a compose.
struct CellLooks {
    CpuLook cpu;
    MemoryLook memory;
    RateText network;
};

RECT ScaledStrip() {
    return {Px(kBarCellStrip.left), Px(kBarCellStrip.top), Px(kBarCellStrip.right),
            Px(kBarCellStrip.bottom)};
}

void PrepareText(HDC dc) {
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(255, 255, 255));
}

SIZE SkinSize(HBITMAP skin) {
    BITMAP shape{};
    if (!skin || !GetObjectA(skin, sizeof shape, &shape)) {
        return {kBarSkinWidth, kBarSkinHeight};
    }
    return {shape.bmWidth, shape.bmHeight};
}

UniqueBitmap CreateCanvasBitmap(SIZE size, uint32_t*& bits) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = size.cx;
    info.bmiHeader.biHeight = -size.cy;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* memory = nullptr;
    UniqueBitmap bitmap(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &memory, nullptr, 0));
    bits = static_cast<uint32_t*>(memory);
    return bitmap;
}

} // namespace

// What the cells are composed on: a bitmap the size of the skin, kept selected in a memory DC of
// its own, and the skin's pixels to start each tick from. Under Wine every selection of a bitmap
// into a DC costs a round trip to the X resources, and loading the skin costs more than the
// whole rest of the tick, so neither is done per tick. The skin is the one the bar's skin
// control already decoded, at the display's scale.
class BarCells::Canvas {
public:
    explicit Canvas(HBITMAP skin)
        : size_(SkinSize(skin)), dc_(CreateCompatibleDC(nullptr)),
          bitmap_(CreateCanvasBitmap(size_, bits_)), selected_(dc_.get(), bitmap_.get()) {
        const UniqueMemoryDC source(CreateCompatibleDC(nullptr));
        const SelectGuard skinSelected(source.get(), skin);
        BitBlt(dc_.get(), 0, 0, size_.cx, size_.cy, source.get(), 0, 0, SRCCOPY);
        GdiFlush();
        if (bits_) {
            skin_.assign(bits_, bits_ + size_t(size_.cx) * size_t(size_.cy));
        }
        PrepareText(dc_.get());
    }

    // The canvas, with the skin put back in the columns of a cell (100 % pixels).
    HDC Fresh(const CellSpace& cell) {
        GdiFlush();
        const int left = std::min(Px(cell.left), int(size_.cx));
        const int right = std::min(Px(cell.right), int(size_.cx));
        if (bits_ && left < right) {
            for (size_t row = 0, width = size_t(size_.cx); row < size_t(size_.cy); ++row) {
                std::copy(skin_.begin() + ptrdiff_t(row * width + size_t(left)),
                          skin_.begin() + ptrdiff_t(row * width + size_t(right)),
                          bits_ + row * width + size_t(left));
            }
        }
        return dc_.get();
    }

    HDC Composed() const { return dc_.get(); }

    // The bar font stays selected from tick to tick, for the same reason: each selection makes
    // Wine realise the font anew. A new height puts the first font back before the old goes.
    void UseFont(const char* face, int height) {
        if (font_ && height == fontHeight_) {
            return;
        }
        fontSelected_.reset();
        font_ = CreateFaceFont(face, height, FW_NORMAL);
        fontHeight_ = height;
        fontSelected_.emplace(dc_.get(), font_.get());
        shown_.reset();
    }

    // What the canvas shows: none before the first compose and after a change of font.
    std::optional<CellLooks>& Shown() { return shown_; }

private:
    SIZE size_;
    UniqueMemoryDC dc_;
    uint32_t* bits_ = nullptr;
    UniqueBitmap bitmap_;
    SelectGuard selected_;
    std::vector<uint32_t> skin_;
    UniqueFont font_;
    int fontHeight_ = 0;
    std::optional<SelectGuard> fontSelected_;
    std::optional<CellLooks> shown_;
};

BarCellFigures SampleBarFigures(MEMORYSTATUSEX& memoryStatus, AdapterMonitor& adapter) {
    BarCellFigures figures;
    figures.cpuLoad = SampleCpuLoad();
    memoryStatus.dwLength = sizeof memoryStatus;
    GlobalMemoryStatusEx(&memoryStatus);
    figures.memoryLoad = memoryStatus.dwMemoryLoad;
    figures.availablePhysical = memoryStatus.ullAvailPhys;
    figures.rates = adapter.Take();
    return figures;
}

void ComposeBarCells(HDC dc, const BarCellFigures& figures, const GaugeTools& tools) {
    PrepareText(dc);
    DrawCpuCell(dc, tools, CpuLookOf(figures.cpuLoad));
    DrawMemoryCell(dc, tools, MemoryLookOf(figures));
    DrawCellText(dc, kNetworkText, figures.rates);
}

BarCells::BarCells() = default;
BarCells::~BarCells() = default;

void BarCells::Create(HBITMAP skin) {
    canvas_ = std::make_unique<Canvas>(skin);
    gaugePen_.reset(CreatePen(PS_NULL, 0, RGB(255, 255, 255)));
    gaugeTrackBrush_.reset(CreateSolidBrush(RGB(0, 128, 0)));
    gaugeFillBrush_.reset(CreateSolidBrush(RGB(0, 254, 0)));
    fontHeight_ = 12;
}

// A cell is drawn again, on a fresh copy of the skin under it, only when its look changed; the
// canvas always holds the whole of the last tick's cells.
RECT BarCells::Compose(const BarCellFigures& figures) {
    if (!canvas_) {
        return {};
    }
    canvas_->UseFont(FaceName(), Px(fontHeight_));
    const GaugeTools tools{gaugePen_.get(), gaugeTrackBrush_.get(), gaugeFillBrush_.get()};
    const CellLooks now{CpuLookOf(figures.cpuLoad), MemoryLookOf(figures), figures.rates};
    std::optional<CellLooks>& shown = canvas_->Shown();
    RECT changed{};
    const auto redraw = [&](const CellSpace& cell) {
        const RECT columns{Px(cell.left), Px(kBarCellStrip.top), Px(cell.right),
                           Px(kBarCellStrip.bottom)};
        UnionRect(&changed, &changed, &columns);
        return canvas_->Fresh(cell);
    };
    if (!shown || shown->cpu != now.cpu) {
        DrawCpuCell(redraw(kCpuText), tools, now.cpu);
    }
    if (!shown || shown->memory != now.memory) {
        DrawMemoryCell(redraw(kMemoryText), tools, now.memory);
    }
    if (!shown || shown->network != now.network) {
        DrawCellText(redraw(kNetworkText), kNetworkText, now.network);
    }
    shown = now;
    return changed;
}

void BarCells::CopyStrip(HDC bar) const {
    CopyStrip(bar, ScaledStrip());
}

void BarCells::CopyStrip(HDC bar, const RECT& part) const {
    if (!canvas_) {
        return;
    }
    BitBlt(bar, part.left, part.top, part.right - part.left, part.bottom - part.top,
           canvas_->Composed(), part.left, part.top, SRCCOPY);
}

} // namespace qv
