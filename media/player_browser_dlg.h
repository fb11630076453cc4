#pragma once

#include "framework/dialog.h"
#include "framework/explorer1.h"
#include "res/resource.h"

namespace qv {

// The borderless window on the player frame whose browser control shows the player page.
class CDODadevo1Dlg : public CDialog {
public:
    CDODadevo1Dlg() : CDialog(IDD_PLAYER_BROWSER) {}

    void Navigate(const char* address) { browser.Navigate(address); }
    void PlaceBrowser(const PixelRect& rect) const { browser.Place(rect); }
    // What tests read back.
    const CExplorer1& Browser() const { return browser; }

protected:
    MessageTable Messages() const override;
    void BindControls() override;

private:
    CExplorer1 browser;
};

} // namespace qv
