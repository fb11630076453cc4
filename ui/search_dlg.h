#pragma once

#include <cstdint>

#include "framework/dialog.h"
#include "res/resource.h"

namespace qv {

// The web-search box, toggled from the menu or the hotkey.
class CSearchDlg : public CDialog {
public:
    CSearchDlg() : CDialog(IDD_SEARCH) {}

    uint32_t colorKey = 0;
};

} // namespace qv
