#include "media/play_button.h"

namespace qv {

void ShowPlayButtonHover(const PlayButtonImages& images, const CPlaylistDlg& playlist) {
    images.stopHover.Show(playlist.IsPlaying());
    images.playHover.Show(!playlist.IsPlaying());
    images.stop.Show(false);
}

void RestPlayButton(const PlayButtonImages& images, const CPlaylistDlg& playlist) {
    images.stop.Show(playlist.IsPlaying());
    images.playHover.Show(false);
    images.stopHover.Show(false);
}

void ClickPlayButton(const PlayButtonImages& images, CPlaylistDlg& playlist) {
    if (playlist.IsPlaying()) {
        ShowPlayButtonHover(images, playlist);
        playlist.StopPlayback();
        return;
    }
    playlist.StartPlayback(ChoosePlayerVariant(playlist.SelectedPlaylistLink()));
    // The pointer is still on the button: show at once what a click would do now.
    ShowPlayButtonHover(images, playlist);
}

} // namespace qv
