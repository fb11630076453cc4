#pragma once

#include "framework/dialog.h"
#include "framework/explorer1.h"
#include "res/resource.h"

namespace qv {

// The borderless window on the player frame whose browser control shows the player page.
class CDODadevo1Dlg : public CDialog {
public:
    CDODadevo1Dlg() : CDialog(IDD_PLAYER_BROWSER) {}

    CExplorer1 browser;

protected:
    MessageTable Messages() const override;
    void BindControls() override;
};

} // namespace qv
