#include "ui/search_dlg.h"

#include "framework/animation.h"
#include "framework/wide_text.h"
#include "ui/default_browser.h"
#include "ui/search_layout.h"
#include "ui/web_address.h"

namespace qv {

MessageTable CSearchDlg::Messages() const {
    static constexpr MessageEntry table[] = {
        OnCommand<IDOK, &CSearchDlg::ConfirmSearch>(),
        OnCommand<IDCANCEL, &CSearchDlg::StartFadeOut>(),
        OnMessage<WM_LBUTTONDOWN, &CSearchDlg::OnLButtonDown, After::Default>(),
        OnMessage<WM_LBUTTONUP, &CSearchDlg::OnLButtonUp, After::Default>(),
        OnMessage<WM_MOUSEMOVE, &CSearchDlg::OnMouseMove, After::Default>(),
        OnMessage<WM_SETCURSOR, &CSearchDlg::OnSetCursor>(),
        OnMessage<WM_TIMER, &CSearchDlg::OnTimer>(),
        OnMessage<WM_ERASEBKGND, &CSearchDlg::OnEraseBackground>(),
    };
    return table;
}

void CSearchDlg::BindControls() {
    Bind(IDC_SEARCH_EDIT, searchField_);
    Bind(IDC_SEARCH_ICON, highlight_);
}

BOOL CSearchDlg::OnInitDialog() {
    handCursor_ = LoadCursorA(nullptr, IDC_HAND);
    return TRUE;
}

void CSearchDlg::LayOut() const {
    searchField_.Place(PxRect(kSearchEditRect));
    highlight_.Place(PxRect(kSearchIconRect));
    Place(PxRect(kSearchBoxRect));
    CenterOnDesktop();
}

void CSearchDlg::ToggleSearchBox() {
    if (IsVisible()) {
        StartFadeOut();
        return;
    }
    SetForegroundWindow(hwnd_);
    // Typing replaces the last query.
    SendMessageA(searchField_.hwnd(), EM_SETSEL, 0, -1);
    SendMessageA(searchField_.hwnd(), EM_SCROLLCARET, 0, 0);
    SetAlpha(colorKey_, BYTE(opacity_)); // not at the 255 it was made with
    Show(true);
    SetFocus(searchField_.hwnd());
    StartAnimation(SearchFadeInTimer, SearchFadeOutTimer);
}

void CSearchDlg::StartFadeOut() {
    StartAnimation(SearchFadeOutTimer, SearchFadeInTimer);
}

void CSearchDlg::ConfirmSearch() {
    // Wide and then UTF-8: the ANSI text would lose what the code page cannot hold.
    searchText_ = Utf8(searchField_.Text());
    if (searchText_.empty()) {
        Show(false); // at once, as a cancelled dialog goes
        return;
    }
    OpenInDefaultBrowser(WebSearchUrl(searchText_));
    ToggleSearchBox();
}

void CSearchDlg::OnTimer(UINT_PTR id) {
    if (id != SearchFadeInTimer && id != SearchFadeOutTimer) {
        return;
    }
    if (StepFade(id, opacity_, colorKey_) && id == SearchFadeOutTimer) {
        Show(false);
    }
}

void CSearchDlg::HoverUpdate(POINT point) {
    switch (HitSearchBoxZone(point.x, point.y, CurrentDpi())) {
    case SearchBoxZone::Magnifier:
        highlight_.Show(true);
        SetCursor(handCursor_);
        break;
    case SearchBoxZone::CloseMark:
        SetCursor(handCursor_); // the highlight keeps its state
        break;
    case SearchBoxZone::None:
        highlight_.Show(false);
        break;
    }
}

// With a button or Shift or Ctrl held the box does not react to moves.
void CSearchDlg::OnMouseMove(UINT flags, POINT point) {
    if (flags == 0) {
        HoverUpdate(point);
    }
}

void CSearchDlg::OnLButtonDown(UINT, POINT) {
    highlight_.Show(false);
}

void CSearchDlg::OnLButtonUp(UINT, POINT point) {
    HoverUpdate(point);
    switch (HitSearchBoxZone(point.x, point.y, CurrentDpi())) {
    case SearchBoxZone::Magnifier:
        ConfirmSearch();
        break;
    case SearchBoxZone::CloseMark:
        StartFadeOut();
        break;
    case SearchBoxZone::None:
        break;
    }
}

// The hand stays over the zones: left to the default, every move would first reset the arrow.
// The field keeps its own cursor.
BOOL CSearchDlg::OnSetCursor(HWND window, UINT, UINT) {
    if (window != hwnd_) {
        return FALSE;
    }
    POINT point{};
    GetCursorPos(&point);
    ScreenToClient(hwnd_, &point);
    const bool overZone = HitSearchBoxZone(point.x, point.y, CurrentDpi()) != SearchBoxZone::None;
    SetCursor(overZone ? handCursor_ : LoadCursorA(nullptr, IDC_ARROW));
    return TRUE;
}

// The skin picture covers the whole box.
BOOL CSearchDlg::OnEraseBackground(HDC) {
    return TRUE;
}

} // namespace qv
