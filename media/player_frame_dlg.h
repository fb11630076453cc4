#pragma once

#include <cstdint>

#include "framework/dialog.h"
#include "res/resource.h"

namespace qv {

// The skinned player frame that fades in under the bar.
class CDODadevoDlg : public CDialog {
public:
    CDODadevoDlg() : CDialog(IDD_PLAYER_FRAME) {}

    int32_t alpha = 0;
    uint32_t colorKey = 0;
};

} // namespace qv
