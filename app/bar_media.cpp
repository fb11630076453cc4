#include "app/quorvel_dlg.h"

#include "app/singletons.h"

namespace qv {

namespace {

bool Playing() {
    return thePlaylist.nowPlaying.isPlaying;
}

} // namespace

void CQuorvelDlg::UpdatePlayButtonHover() {
    stopHover.Show(Playing());
    playHover.Show(!Playing());
    stop.Show(false);
}

void CQuorvelDlg::RestPlayButton() {
    stop.Show(Playing());
    playHover.Show(false);
    stopHover.Show(false);
}

void CQuorvelDlg::ClickPlayButton() {
    if (Playing()) {
        UpdatePlayButtonHover();
        thePlaylist.StopPlayback();
        return;
    }
    thePlaylist.StartPlayback(ChoosePlayerVariant(thePlaylist.SelectedPlaylistLink()));
    // The pointer is still on the button: show at once what a click would do now.
    UpdatePlayButtonHover();
}

void CQuorvelDlg::HoverPlayerIcon() {
    playerHover.Show(true);
    if (Playing()) {
        thePlayerFrame.StartFadeIn();
    }
}

void CQuorvelDlg::ClickPlayerIcon() {
    playerHover.Show(true);
    if (!Playing()) {
        return;
    }
    NowPlaying& now = thePlaylist.nowPlaying;
    now.playerPinned = !now.playerPinned;
    if (now.playerPinned) {
        thePlayerFrame.StartFadeIn();
    } else {
        thePlayerFrame.HideBrowserAndFadeOut();
    }
}

void CQuorvelDlg::ReleaseUnpinnedPlayer() {
    if (!thePlaylist.nowPlaying.playerPinned) {
        thePlayerFrame.HideBrowserAndFadeOut();
    }
}

void CQuorvelDlg::ClickVideoSearch() {
    SnapBarHome();
    if (!thePlaylist.searchMode) {
        thePlaylist.Park();
        thePlaylist.searchMode = true;
    }
    TogglePlaylistPanel();
}

void CQuorvelDlg::ShowHidePlaylist() {
    SnapBarHome();
    if (thePlaylist.searchMode) {
        thePlaylist.Park();
        thePlaylist.searchMode = false;
    }
    TogglePlaylistPanel();
}

void CQuorvelDlg::TogglePlaylistPanel() {
    barLeft = WindowRect().left;
    thePlaylist.ApplyModeLayout();
    if (thePlaylist.IsParked()) {
        thePlaylist.StartOpening(barLeft + 16);
    } else {
        thePlaylist.StartClosing(barLeft + 16);
    }
}

} // namespace qv
