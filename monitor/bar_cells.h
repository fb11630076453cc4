#pragma once

#include <windows.h>

#include <cstdint>

#include "framework/handles.h"
#include "monitor/adapter_rates.h"

namespace qv {

// The figures one tick of the bar shows.
struct BarCellFigures {
    double cpuLoad = 0.0;
    uint32_t memoryLoad = 0;
    uint64_t availablePhysical = 0;
    RateText rates;
};

struct GaugeTools {
    HPEN pen;
    HBRUSH track;
    HBRUSH fill;
};

// Draws the three value cells and their gauges onto a DC that holds a fresh copy of the skin
// and has the bar font selected.
void ComposeBarCells(HDC dc, const BarCellFigures& figures, const GaugeTools& tools);

// Where the composed cells are copied to the bar: the row of x 51, y 2, 150 by 16 pixels.
inline constexpr RECT kBarCellStrip{51, 2, 201, 18};

} // namespace qv
