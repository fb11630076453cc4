#include "framework/panel_rest.h"

#include "framework/display_scale.h"

namespace qv {

PanelRest::PanelRest(const Window& panel, int dpi, std::initializer_list<int> restingTops,
                     int width, int height)
    : panel_(panel) {
    const int top = panel.WindowRect().top;
    for (const int resting : restingTops) {
        if (top == ScaleLength(resting, dpi)) {
            rest_ = {0, resting, width, height};
            resting_ = true;
            return;
        }
    }
}

void PanelRest::PutBack() const {
    if (resting_) {
        panel_.Move(panel_.WindowRect().left, Px(rest_.y), Px(rest_.width), Px(rest_.height));
    }
}

} // namespace qv
