#include "media/playlist_dlg.h"

#include <ctime>

#include "framework/list_rows.h"
#include "framework/program_file_path.h"
#include "framework/whole_file.h"
#include "framework/wide_text.h"
#include "media/media_layout.h"

namespace qv {

void CPlaylistDlg::StartPlayback(PlayerVariant variant) {
    const bool fromResults = variant == PlayerVariant::FlashVideo;
    const Window& rows = fromResults ? resultList : nameList;
    const Window& links = fromResults ? resultLinkList : linkList;
    const int row = SelectedRow(rows);
    if (row < 0) {
        return; // nothing chosen: no page can be built from a missing link
    }
    PlacePlayerWindows();
    nowPlaying.title = Utf8(RowText(rows, row));
    nowPlaying.link = Utf8(RowText(links, row));
    nowPlaying.fromSearch = fromResults;
    const std::string page = ProgramFilePath("ut.html");
    if (const FileError error = WriteWholeFile(page, BuildPlayerPage(variant, nowPlaying.link))) {
        ShowFileError(page, error);
        return;
    }
    links_.playerBrowser->Navigate(page.c_str());
    links_.playerFrame->StartFadeIn();
    nowPlaying.isPlaying = true;
    nowPlaying.playerPinned = true;
    nowPlaying.startTime = int64_t(std::time(nullptr));
    nowPlaying.startInOctets = links_.receivedOctets ? links_.receivedOctets() : 0;
    nowPlaying.bitRate = 0;
}

void CPlaylistDlg::StopPlayback() {
    links_.playerBrowser->Navigate("about:blank");
    links_.playerFrame->HideBrowserAndFadeOut();
    nowPlaying.isPlaying = false;
    nowPlaying.playerPinned = false;
}

void CPlaylistDlg::ShowPlayerOnHover() const {
    if (nowPlaying.isPlaying) {
        links_.playerFrame->StartFadeIn();
    }
}

void CPlaylistDlg::PinOrReleasePlayer() {
    if (!nowPlaying.isPlaying) {
        return;
    }
    if (TogglePlayerPinned()) {
        links_.playerFrame->StartFadeIn();
    } else {
        links_.playerFrame->HideBrowserAndFadeOut();
    }
}

void CPlaylistDlg::ReleaseUnpinnedPlayer() const {
    if (!nowPlaying.playerPinned) {
        links_.playerFrame->HideBrowserAndFadeOut();
    }
}

void CPlaylistDlg::PlacePlayerWindows() const {
    const int screenWidth = GetSystemMetrics(SM_CXSCREEN);
    links_.playerFrame->Place(PlayerFrameRect(screenWidth, CurrentDpi()));
    links_.playerBrowser->Place(PlayerBrowserRect(screenWidth, CurrentDpi()));
    links_.playerBrowser->PlaceBrowser(PxRect(kPlayerControlRect));
}

} // namespace qv
