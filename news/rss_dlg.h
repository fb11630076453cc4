#pragma once

#include <cstdint>

#include "framework/dialog.h"
#include "app/bar_layout.h"
#include "res/resource.h"

namespace qv {

// The news panel: hangs left of the bar with one tab per feed.
class CRssDlg : public CDialog {
public:
    CRssDlg() : CDialog(IDD_NEWS) {}

    uint32_t colorKey = SkinColourKey; // keeps its own key
};

} // namespace qv
