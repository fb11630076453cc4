#include "app/quorvel_dlg.h"

#include "app/singletons.h"

namespace qv {

void CQuorvelDlg::UpdatePlayButtonHover() {}

void CQuorvelDlg::RestPlayButton() {}

void CQuorvelDlg::ClickPlayButton() {}

void CQuorvelDlg::HoverPlayerIcon() {}

void CQuorvelDlg::ClickPlayerIcon() {}

void CQuorvelDlg::ReleaseUnpinnedPlayer() {}

void CQuorvelDlg::ClickVideoSearch() {}

void CQuorvelDlg::ShowHidePlaylist() {
    SnapBarHome();
    TogglePlaylistPanel();
}

void CQuorvelDlg::TogglePlaylistPanel() {}

} // namespace qv
