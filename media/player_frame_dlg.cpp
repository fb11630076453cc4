#include "media/player_frame_dlg.h"

#include "app/singletons.h"
#include "media/slide_steps.h"

namespace qv {

MessageTable CDODadevoDlg::Messages() const {
    static constexpr MessageEntry table[] = {
        OnMessage<WM_TIMER, &CDODadevoDlg::OnTimer>(),
        IgnoreCommand<IDOK>(),
        IgnoreCommand<IDCANCEL>(),
    };
    return table;
}

// A running fade's next tick would otherwise come first and cancel the one just asked for.
void CDODadevoDlg::StartFadeIn() const {
    KillTimer(hwnd_, FadeOutTimer);
    SetTimer(hwnd_, FadeInTimer, 1, nullptr);
}

void CDODadevoDlg::StartFadeOut() const {
    KillTimer(hwnd_, FadeInTimer);
    SetTimer(hwnd_, FadeOutTimer, 1, nullptr);
}

void CDODadevoDlg::OnTimer(UINT_PTR id) {
    if (id == FadeInTimer) {
        FadeInStep();
    } else if (id == FadeOutTimer) {
        FadeOutStep();
    }
}

void CDODadevoDlg::FadeInStep() {
    KillTimer(hwnd_, FadeOutTimer);
    if (ApplyFadeStep(PlayerFrameFadeInStep(alpha), FadeInTimer)) {
        // Over the frame's black interior, without taking the focus from the user.
        SetWindowPos(thePlayerBrowser.hwnd(), HWND_TOP, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    }
}

void CDODadevoDlg::FadeOutStep() {
    KillTimer(hwnd_, FadeInTimer);
    ApplyFadeStep(PlayerFrameFadeOutStep(alpha), FadeOutTimer);
}

bool CDODadevoDlg::ApplyFadeStep(const FadeStep& step, UINT_PTR timer) {
    alpha = step.alpha;
    if (step.done) {
        KillTimer(hwnd_, timer);
    }
    SetAlpha(colorKey, BYTE(alpha));
    return step.done;
}

} // namespace qv
