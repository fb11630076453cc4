#pragma once

#include <cstdint>

#include "framework/dialog.h"
#include "res/resource.h"

namespace qv {

// The cream information balloon under the bar.
class CBalloonDlg : public CDialog {
public:
    CBalloonDlg() : CDialog(IDD_BALLOON) {}

    int32_t alpha = 0;
    uint32_t colorKey = 0;
};

} // namespace qv
