#pragma once

#include "framework/display_scale.h"

namespace qv {

// What the pointer is over on the bar, in bar client pixels. Hover zones decide the highlights
// and the balloon; click zones decide what a left button release does.
enum class HoverZone {
    NewsIcon,
    WebSearchIcon,
    VideoSearchIcon,
    PlayButton,
    PlayerIcon,
    CpuCell,
    MemoryCell,
    NetworkCell,
    None,
};

enum class ClickZone {
    NewsIcon,
    WebSearchIcon,
    VideoSearchIcon,
    PlayButton,
    PlayerIcon,
    ValueCells,
    None,
};

// The first zone of the table that holds the point; None where none does. The tables are in
// 100 % pixels; at another DPI each zone covers the scaled pixels of its 100 % ones.
HoverZone HitHoverZone(int x, int y, int dpi = kDesignDpi);
ClickZone HitClickZone(int x, int y, int dpi = kDesignDpi);

} // namespace qv
