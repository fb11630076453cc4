#include "media/playlist_dlg.h"

#include "framework/display_scale.h"
#include "framework/list_rows.h"
#include "framework/wide_text.h"
#include "media/media_layout.h"
#include "media/playlist_file.h"
#include "media/slide_steps.h"

namespace qv {

namespace {

void SetHandCursorOver(POINT point) {
    if (HitPlaylistPanel(point.x, point.y, CurrentDpi()) != PlaylistZone::None) {
        SetCursor(LoadCursorA(nullptr, IDC_HAND));
    }
}

} // namespace

MessageTable CPlaylistDlg::Messages() const {
    static constexpr MessageEntry table[] = {
        OnMessage<WM_TIMER, &CPlaylistDlg::OnTimer>(),
        OnMessage<WM_MOUSEMOVE, &CPlaylistDlg::OnMouseMove>(),
        OnMessage<WM_LBUTTONDOWN, &CPlaylistDlg::OnLButtonDown>(),
        OnMessage<WM_LBUTTONUP, &CPlaylistDlg::OnLButtonUp>(),
        OnNotify<IDC_PLAYLIST_NAMES, LBN_SELCHANGE, &CPlaylistDlg::OnNameSelected>(),
        OnNotify<IDC_PLAYLIST_RESULTS, LBN_SELCHANGE, &CPlaylistDlg::OnResultSelected>(),
        OnCommand<IDOK, &CPlaylistDlg::OnSearchEntered>(),
        OnCommand<IDCANCEL, &CPlaylistDlg::OnCancel>(),
    };
    return table;
}

void CPlaylistDlg::BindControls() {
    Bind(IDC_PLAYLIST_NAMES, nameList);
    Bind(IDC_PLAYLIST_LINKS, linkList);
    Bind(IDC_PLAYLIST_RESULTS, resultList);
    Bind(IDC_PLAYLIST_RESULT_LINKS, resultLinkList);
    Bind(IDC_PLAYLIST_QUERY, queryBox);
}

BOOL CPlaylistDlg::OnInitDialog() {
    // The panel fills itself as soon as it exists, so the bar finds it ready.
    LoadPlaylist();
    return TRUE;
}

void CPlaylistDlg::LoadPlaylist() const {
    const auto entries = ReadPlaylistFile();
    if (!entries) {
        return;
    }
    ClearRows(nameList);
    ClearRows(linkList);
    int number = 1;
    for (const PlaylistEntry& entry : *entries) {
        AddRow(nameList, FromUtf8(NumberedName(number++, entry.name)));
        AddRow(linkList, FromUtf8(entry.link));
    }
    SelectRow(nameList, 0);
}

void CPlaylistDlg::ApplyModeLayout() const {
    if (searchMode) {
        resultList.Place(PxRect(kResultListRect));
        RepaintNow();
        queryBox.Place(PxRect(kQueryBoxRect));
        SetFocus(queryBox.hwnd());
        SendMessageA(queryBox.hwnd(), EM_SETSEL, 0, -1);
        SendMessageA(queryBox.hwnd(), EM_SCROLLCARET, 0, 0);
        nameList.Place(PxRect(kParkedControlRect));
    } else {
        nameList.Place(PxRect(kNameListRect));
        RepaintNow();
        resultList.Place(PxRect(kParkedControlRect));
        queryBox.Place(PxRect(kParkedControlRect));
    }
}

void CPlaylistDlg::ParkAtCreation() const {
    Place(PxRect(kPlaylistCreationRect));
    nameList.Place(PxRect(kNameListRect));
    ShowNoActivate();
}

bool CPlaylistDlg::IsParked() const {
    return WindowRect().top < Px(kPlaylistParkedTop + 1);
}

// The slide runs in 100 % pixels; the window goes to their place at the display's scale.
void CPlaylistDlg::MoveSlid(int y) const {
    Move(slideX, Px(y), Px(kPlaylistWidth), Px(kPlaylistHeight));
}

void CPlaylistDlg::Park() const {
    MoveSlid(kPlaylistParkedTop);
}

void CPlaylistDlg::StartOpening(int x) {
    SetWindowPos(hwnd_, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
    slideY = kPlaylistParkedTop;
    slideX = x;
    slideAlpha = 0;
    StartAnimation(SlideInTimer, SlideOutTimer);
}

int CPlaylistDlg::XUnder(int barLeft) {
    return barLeft + Px(16);
}

void CPlaylistDlg::ToggleUnder(int barLeft) {
    ApplyModeLayout();
    const int x = XUnder(barLeft);
    if (IsParked()) {
        StartOpening(x);
    } else {
        StartClosing(x);
    }
}

void CPlaylistDlg::StartClosing(int x) {
    // From below the open position: the panel dips before it rises.
    slideY = 100;
    slideX = x;
    StartAnimation(SlideOutTimer, SlideInTimer);
}

// An open or sliding panel moves at once; a parked one opens at the new place. The player
// windows are placed for the new width whether they show or not.
void CPlaylistDlg::FollowBar(int barLeft) {
    slideX = XUnder(barLeft);
    if (!IsParked()) {
        Move(slideX, WindowRect().top, Px(kPlaylistWidth), Px(kPlaylistHeight));
    }
    PlacePlayerWindows();
}

PanelRest CPlaylistDlg::RestAt(int dpi) const {
    return {*this, dpi, {kPlaylistParkedTop, kPlaylistOpenTop}, kPlaylistWidth, kPlaylistHeight};
}

void CPlaylistDlg::OnTimer(UINT_PTR id) {
    if (id == SlideInTimer) {
        SlideInStep();
    } else if (id == SlideOutTimer) {
        SlideOutStep();
    }
}

void CPlaylistDlg::SlideInStep() {
    KillTimer(hwnd_, SlideOutTimer);
    ApplySlideStep(PlaylistSlideInStep(slideY, slideAlpha), SlideInTimer);
}

void CPlaylistDlg::SlideOutStep() {
    KillTimer(hwnd_, SlideInTimer);
    ApplySlideStep(PlaylistSlideOutStep(slideY, slideAlpha), SlideOutTimer);
}

// A settled slide snaps into place and keeps its last slide values and opacity.
void CPlaylistDlg::ApplySlideStep(const SlideStep& step, UINT_PTR timer) {
    if (step.settled) {
        KillTimer(hwnd_, timer);
        MoveSlid(step.y);
        RepaintNow();
        return;
    }
    slideY = step.y;
    slideAlpha = step.alpha;
    MoveSlid(slideY);
    SetAlpha(colorKey, BYTE(slideAlpha));
}

void CPlaylistDlg::OnNameSelected() {
    nowPlaying.isPlaying = true;
    StartAnimation(SlideOutTimer, SlideInTimer);
    StartPlayback(ChoosePlayerVariant(SelectedPlaylistLink()));
    if (links_.rowPlayed) {
        links_.rowPlayed();
    }
}

void CPlaylistDlg::OnResultSelected() {
    Park();
    StartPlayback(PlayerVariant::FlashVideo);
    if (links_.rowPlayed) {
        links_.rowPlayed();
    }
}

void CPlaylistDlg::ChooseMode(bool search) {
    if (searchMode != search) {
        Park();
        searchMode = search;
    }
}

std::string CPlaylistDlg::SelectedPlaylistLink() const {
    return Utf8(RowText(linkList, SelectedRow(nameList)));
}

void CPlaylistDlg::OnMouseMove(UINT flags, POINT point) {
    if (flags == 0) {
        SetHandCursorOver(point);
    }
}

void CPlaylistDlg::OnLButtonDown(UINT, POINT point) {
    SetHandCursorOver(point);
}

void CPlaylistDlg::OnLButtonUp(UINT, POINT point) {
    SetHandCursorOver(point);
    switch (HitPlaylistPanel(point.x, point.y, CurrentDpi())) {
    case PlaylistZone::SearchButton:
        searchPage = 1;
        RunVideoSearch();
        break;
    case PlaylistZone::NextPage:
        ++searchPage;
        RunVideoSearch();
        break;
    case PlaylistZone::None:
        break;
    }
}

void CPlaylistDlg::OnSearchEntered() {
    searchPage = 1;
    RunVideoSearch();
}

void CPlaylistDlg::OnCancel() {
    Show(false);
}

void CPlaylistDlg::RepaintNow() const {
    RedrawWindow(hwnd_, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
}

} // namespace qv
