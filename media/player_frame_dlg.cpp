#include "media/player_frame_dlg.h"

#include "app/singletons.h"

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
    thePlayerBrowser.Show(false);
}

void CDODadevoDlg::OnTimer(UINT_PTR id) {
    if (id != FadeInTimer && id != FadeOutTimer) {
        return;
    }
    if (StepFade(id, alpha, colorKey) && id == FadeInTimer) {
        // Over the frame's black interior, without taking the focus from the user.
        SetWindowPos(thePlayerBrowser.hwnd(), HWND_TOP, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    }
}

} // namespace qv
