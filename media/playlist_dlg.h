#pragma once

#include <cstdint>

#include "framework/dialog.h"
#include "media/now_playing.h"
#include "res/resource.h"

namespace qv {

// The playlist panel: slides down under the bar, lists the playlist or video-search results.
class CPlaylistDlg : public CDialog {
public:
    CPlaylistDlg() : CDialog(IDD_PLAYLIST) {}

    uint32_t colorKey = 0;
    bool searchMode = false;
    NowPlaying nowPlaying;
};

} // namespace qv
