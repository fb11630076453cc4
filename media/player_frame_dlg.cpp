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

void CDODadevoDlg::StartFadeIn() const {
    StartAnimation(FadeInTimer, FadeOutTimer);
}

void CDODadevoDlg::StartFadeOut() const {
    StartAnimation(FadeOutTimer, FadeInTimer);
}

void CDODadevoDlg::OnTimer(UINT_PTR id) {
    if (id == FadeInTimer) {
        StepFadeIn();
    } else if (id == FadeOutTimer) {
        StepFadeOut();
    }
}

void CDODadevoDlg::StepFadeIn() {
    KillTimer(hwnd_, FadeOutTimer);
    if (ApplyFadeStep(FadeInStep(alpha), FadeInTimer)) {
        // Over the frame's black interior, without taking the focus from the user.
        SetWindowPos(thePlayerBrowser.hwnd(), HWND_TOP, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    }
}

void CDODadevoDlg::StepFadeOut() {
    KillTimer(hwnd_, FadeInTimer);
    ApplyFadeStep(FadeOutStep(alpha), FadeOutTimer);
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
