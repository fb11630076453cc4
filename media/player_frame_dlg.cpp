#include "media/player_frame_dlg.h"

namespace qv {

MessageTable CDODadevoDlg::Messages() const {
    static constexpr MessageEntry table[] = {
        OnMessage<WM_TIMER, &CDODadevoDlg::OnTimer>(),
        IgnoreCommand<IDOK>(),
        IgnoreCommand<IDCANCEL>(),
    };
    return table;
}

void CDODadevoDlg::StartFadeIn() const {
    StartAnimation(FadeInTimer, FadeOutTimer);
}

void CDODadevoDlg::StartFadeOut() const {
    StartAnimation(FadeOutTimer, FadeInTimer);
}

void CDODadevoDlg::HideBrowserAndFadeOut() const {
    StartFadeOut();
    if (playerBrowser_) {
        playerBrowser_->Show(false);
    }
}

void CDODadevoDlg::OnTimer(UINT_PTR id) {
    if (id != FadeInTimer && id != FadeOutTimer) {
        return;
    }
    if (StepFade(id, alpha_, colorKey_) && id == FadeInTimer && playerBrowser_) {
        // Over the frame's black interior, without taking the focus from the user.
        SetWindowPos(playerBrowser_->hwnd(), HWND_TOP, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    }
}

} // namespace qv
