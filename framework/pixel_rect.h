#pragma once

namespace qv {

// A window's place in pixels: left, top, width and height, as MoveWindow takes them.
struct PixelRect {
    int x;
    int y;
    int width;
    int height;
    bool operator==(const PixelRect&) const = default;
};

// Where a window puts one of its controls.
struct ControlPlacement {
    int controlId;
    PixelRect rect;
};

} // namespace qv
