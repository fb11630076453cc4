#pragma once

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

// The first zone of the table that holds the point; None where none does.
HoverZone HitHoverZone(int x, int y);
ClickZone HitClickZone(int x, int y);

} // namespace qv
