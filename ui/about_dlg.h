#pragma once

#include <cstdint>

#include "framework/dialog.h"
#include "res/resource.h"

namespace qv {

// The About box: created hidden with the bar, shown from the menu.
class CAboutDlg : public CDialog {
public:
    CAboutDlg() : CDialog(IDD_ABOUT) {}
};

} // namespace qv
