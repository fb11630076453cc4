#pragma once

#include <initializer_list>

#include "framework/pixel_rect.h"
#include "framework/window.h"

namespace qv {

// A panel at rest, parked or open, keeps its place in 100 % pixels through a change of scale; a
// sliding one takes the new scale at its next step. Taken at the old scale, put back at the new.
class PanelRest {
public:
    PanelRest(const Window& panel, int dpi, std::initializer_list<int> restingTops, int width,
              int height);
    void PutBack() const;

private:
    const Window& panel_;
    PixelRect rest_; // the 100 % top and size
    bool resting_ = false;
};

} // namespace qv
