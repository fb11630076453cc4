#include <ctime>

#include "app/singletons.h"
#include "framework/program_file_path.h"
#include "media/list_rows.h"
#include "media/media_layout.h"
#include "media/playlist_dlg.h"
#include "media/whole_file.h"
#include "monitor/adapter_sampler.h"

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
    nowPlaying.title = RowText(rows, row);
    nowPlaying.link = RowText(links, row);
    nowPlaying.fromSearch = fromResults;
    const std::string page = ProgramFilePath("ut.html");
    if (!WriteWholeFile(page, BuildPlayerPage(variant, nowPlaying.link))) {
        return;
    }
    thePlayerBrowser.browser.Navigate(page.c_str());
    thePlayerFrame.StartFadeIn();
    nowPlaying.isPlaying = true;
    nowPlaying.playerPinned = true;
    nowPlaying.startTime = int64_t(std::time(nullptr));
    nowPlaying.startInOctets = uint32_t(MonitoredAdapterRow.dwInOctets);
    nowPlaying.bitRate = 0;
}

void CPlaylistDlg::StopPlayback() {
    thePlayerBrowser.browser.Navigate("about:blank");
    thePlayerFrame.HideBrowserAndFadeOut();
    nowPlaying.isPlaying = false;
    nowPlaying.playerPinned = false;
}

void CPlaylistDlg::PlacePlayerWindows() const {
    const int screenWidth = GetSystemMetrics(SM_CXSCREEN);
    thePlayerFrame.Place(PlayerFrameRect(screenWidth));
    thePlayerBrowser.Place(PlayerBrowserRect(screenWidth));
    thePlayerBrowser.browser.Place(kPlayerControlRect);
}

} // namespace qv
