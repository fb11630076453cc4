#include "monitor/balloon_dlg.h"

#include "monitor/balloon_layout.h"

namespace qv {

namespace {

constexpr int kMiddleImageTop = 25;
constexpr int kBottomImageHeight = 28;

} // namespace

MessageTable CBalloonDlg::Messages() const {
    static constexpr MessageEntry table[] = {
        OnMessage<WM_SIZE, &CBalloonDlg::OnSize>(),
        OnMessage<WM_TIMER, &CBalloonDlg::OnTimer>(),
        OnMessage<WM_MOUSEMOVE, &CBalloonDlg::OnMouseMove, After::Default>(),
        OnMessage<WM_ERASEBKGND, &CBalloonDlg::OnEraseBackground>(),
    };
    return table;
}

void CBalloonDlg::BindControls() {
    Bind(IDC_BALLOON_MIDDLE, middleImage_);
    Bind(IDC_BALLOON_BOTTOM, bottomImage_);
}

// The balloon's top is always at screen y 18, so the bottom image lands on its lower edge.
void CBalloonDlg::OnSize(UINT, int, int) {
    const RECT rect = WindowRect();
    middleImage_.Move(0, kMiddleImageTop, kBalloonWidth, rect.bottom);
    bottomImage_.Move(0, rect.bottom - kBalloonTop - kBottomImageHeight, kBalloonWidth,
                      kBottomImageHeight);
    RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

void CBalloonDlg::OnTimer(UINT_PTR id) {
    if (id == FadeInTimer || id == FadeOutTimer) {
        StepFade(id, alpha_, colorKey_);
    }
}

void CBalloonDlg::FadeIn() const {
    StartAnimation(FadeInTimer, FadeOutTimer);
}

void CBalloonDlg::FadeOut() const {
    StartAnimation(FadeOutTimer, FadeInTimer);
}

void CBalloonDlg::OnMouseMove(UINT, POINT) {
    Show(false);
}

BOOL CBalloonDlg::OnEraseBackground(HDC) {
    return FALSE;
}

} // namespace qv
