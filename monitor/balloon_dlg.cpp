#include "monitor/balloon_dlg.h"

#include "monitor/balloon_layout.h"

namespace qv {

namespace {

constexpr int kMiddleImageTop = 25;
constexpr int kBottomImageHeight = 28;
constexpr PixelRect kTopImagePlace{0, 0, kBalloonWidth, 28};
// The middle picture is stretched down the balloon by its control; both it and the bottom one
// are drawn from their own top-left corner.
constexpr PixelRect kMiddleImageSource{0, 0, kBalloonWidth, 14};
constexpr PixelRect kBottomImageSource{0, 0, kBalloonWidth, kBottomImageHeight};

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
    topImage_.Attach(Item(IDC_BALLOON_TOP));
    middleSkin_.Attach(middleImage_.hwnd());
    bottomSkin_.Attach(bottomImage_.hwnd());
}

void CBalloonDlg::UseScale() {
    const int dpi = CurrentDpi();
    topImage_.ShowAt(IDB_BALLOON_TOP, kTopImagePlace, dpi);
    middleSkin_.Scale(IDB_BALLOON_MIDDLE, kMiddleImageSource, dpi);
    bottomSkin_.Scale(IDB_BALLOON_BOTTOM, kBottomImageSource, dpi);
}

// The balloon's top is always at screen y 18, so the bottom image lands on its lower edge.
void CBalloonDlg::OnSize(UINT, int, int) {
    const RECT rect = WindowRect();
    middleImage_.Move(0, Px(kMiddleImageTop), Px(kBalloonWidth), rect.bottom);
    bottomImage_.Move(0, rect.bottom - Px(kBalloonTop) - Px(kBottomImageHeight), Px(kBalloonWidth),
                      Px(kBottomImageHeight));
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
