#pragma once

#include <cstdint>

#include "framework/dialog.h"
#include "framework/pixel_rect.h"
#include "framework/skin.h"
#include "res/resource.h"

namespace qv {

inline constexpr PixelRect kNewsParkedRect{300, -490, 263, 300};

// The news panel: hangs left of the bar with one tab per feed.
class CRssDlg : public CDialog {
public:
    CRssDlg() : CDialog(IDD_NEWS) {}

    // The bar's initialisation: the panel parked above the screen and shown.
    void ParkAtCreation() const {
        Place(kNewsParkedRect);
        ShowNoActivate();
    }

    uint32_t colorKey = SkinColourKey; // keeps its own key
};

} // namespace qv
