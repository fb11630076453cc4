#pragma once

#include <cstdint>

#include "framework/dialog.h"
#include "res/resource.h"

namespace qv {

// The borderless window on the player frame that holds the browser control.
class CDODadevo1Dlg : public CDialog {
public:
    CDODadevo1Dlg() : CDialog(IDD_PLAYER_BROWSER) {}
};

} // namespace qv
