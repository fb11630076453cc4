#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>

#include "framework/handles.h"
#include "framework/skin.h"
#include "monitor/adapter_rates.h"

namespace qv {

class AdapterMonitor;

// The figures one tick of the bar shows.
struct BarCellFigures {
    double cpuLoad = 0.0;
    uint32_t memoryLoad = 0;
    uint64_t availablePhysical = 0;
    RateText rates;
};

// Samples CPU load, memory (into memory, the bar's record) and the monitored adapter's rates
// (the reading asked for after the tick before).
BarCellFigures SampleBarFigures(MEMORYSTATUSEX& memory, AdapterMonitor& adapter);

struct GaugeTools {
    HPEN pen;
    HBRUSH track;
    HBRUSH fill;
};

// Draws the three value cells and their gauges onto a DC that holds a fresh copy of the skin
// and has the bar font selected.
void ComposeBarCells(HDC dc, const BarCellFigures& figures, const GaugeTools& tools);

// Where the composed cells are copied to the bar: the row of x 51, y 2, 150 by 16 pixels (at
// 100 %).
inline constexpr RECT kBarCellStrip{51, 2, 201, 18};

inline constexpr int kBarSkinWidth = 235;
inline constexpr int kBarSkinHeight = 18;

// The bar's value cells, held by the bar: the canvas they are composed on, the gauge pen and
// brushes, and the bar font. Compose draws the cells that changed at a tick on a fresh copy of
// the skin under them; the bar copies those at the tick and the whole strip at each WM_PAINT, so
// a repaint by any cause shows the cells of the last tick.
class BarCells {
public:
    BarCells();
    BarCells(const BarCells&) = delete;
    BarCells& operator=(const BarCells&) = delete;
    ~BarCells();

    // Makes the canvas from the bar's skin (the skin control's bitmap, which stays its owner's)
    // and the gauge tools; the bar calls it from its initialisation.
    void Create(HBITMAP skin);
    // Draws the cells whose figures look different from the last compose's; returns the part of
    // the strip they cover, in the display's pixels (empty when none changed).
    RECT Compose(const BarCellFigures& figures);
    // Copies the composed strip, or a part of it, onto a DC of the bar.
    void CopyStrip(HDC bar) const;
    void CopyStrip(HDC bar, const RECT& part) const;

    const char* FaceName() const { return kSkinFaceName; }
    int32_t FontHeight() const { return fontHeight_; }
    void SetFontHeight(int32_t pixels) { fontHeight_ = pixels; }
    HPEN GaugePen() const { return gaugePen_.get(); }
    HBRUSH GaugeTrackBrush() const { return gaugeTrackBrush_.get(); }
    HBRUSH GaugeFillBrush() const { return gaugeFillBrush_.get(); }

private:
    class Canvas;

    std::unique_ptr<Canvas> canvas_;
    UniquePen gaugePen_;
    UniqueBrush gaugeFillBrush_;
    UniqueBrush gaugeTrackBrush_;
    int32_t fontHeight_ = 12;
};

} // namespace qv
