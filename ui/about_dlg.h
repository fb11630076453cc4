#pragma once

#include "framework/dialog.h"
#include "framework/handles.h"
#include "res/resource.h"

namespace qv {

// The About box: created hidden with the bar, shown from the menu, hidden again by OK, Esc or
// its close box; the window lives on for the next showing.
class CAboutDlg : public CDialog {
public:
    CAboutDlg() : CDialog(IDD_ABOUT) {}

    // Gives the version line its large bold font in the face given, then shows the box (or
    // activates it where it is).
    void ShowWithTitleFont(const char* faceName);

protected:
    MessageTable Messages() const override;

private:
    void Close();

    UniqueFont titleFont_;
};

} // namespace qv
