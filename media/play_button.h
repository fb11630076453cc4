#pragma once

#include "framework/window.h"
#include "media/playlist_dlg.h"

namespace qv {

// The bar's play button. At rest it shows its stop image while something plays; under the
// pointer, the image of what a click would do. The bar owns the images; the playback decides.
struct PlayButtonImages {
    const Window& stop;
    const Window& playHover;
    const Window& stopHover;
};

void ShowPlayButtonHover(const PlayButtonImages& images, const CPlaylistDlg& playlist);
void RestPlayButton(const PlayButtonImages& images, const CPlaylistDlg& playlist);
// Stops what plays, or plays the playlist's chosen row in the player its link needs.
void ClickPlayButton(const PlayButtonImages& images, CPlaylistDlg& playlist);

} // namespace qv
