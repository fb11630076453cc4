#pragma once

#include <cstdint>

#include "framework/dialog.h"
#include "res/resource.h"

namespace qv {

// The settings dialog, run modally each time Settings is chosen.
class COptionsDlg : public CDialog {
public:
    COptionsDlg() : CDialog(IDD_OPTIONS) {}
};

} // namespace qv
