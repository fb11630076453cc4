#include "ui/about_dlg.h"

#include "framework/display_scale.h"

namespace qv {

MessageTable CAboutDlg::Messages() const {
    // The caption's close box arrives as Cancel too.
    static constexpr MessageEntry table[] = {
        OnCommand<IDOK, &CAboutDlg::Close>(),
        OnCommand<IDCANCEL, &CAboutDlg::Close>(),
    };
    return table;
}

void CAboutDlg::ShowWithTitleFont(const char* faceName) {
    // The label lets go of the old font before it is deleted.
    UniqueFont font = CreateFaceFont(faceName, Px(25), FW_BOLD);
    SendMessageA(Item(IDC_ABOUT_TITLE), WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), TRUE);
    titleFont_ = std::move(font);
    Show(true);
    SetForegroundWindow(hwnd_); // a box already shown is only activated
}

// A modeless box ends by hiding.
void CAboutDlg::Close() {
    Show(false);
}

} // namespace qv
