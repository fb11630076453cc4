#include "app/panel_skins.h"

#include "app/singletons.h"
#include "media/media_layout.h"
#include "news/news_layout.h"
#include "res/resource.h"
#include "ui/search_layout.h"

namespace qv {

namespace {

// The skin a panel's template puts first, under every other control.
HWND FirstPicture(const Window& panel) {
    return FindWindowExA(panel.hwnd(), nullptr, "Static", nullptr);
}

} // namespace

// The whole-window skins are placed here; the others keep the places their windows give them
// and are stretched there.
void PanelSkins::UseScale(int dpi) {
    struct Piece {
        HWND control;
        int bitmap;
        PixelRect place;
        bool placedHere;
    };
    const Piece pieces[] = {
        {FirstPicture(thePlaylist),
         IDB_PLAYLIST_SKIN,
         {0, 0, kPlaylistWidth, kPlaylistHeight},
         true},
        {FirstPicture(theSearchBox), IDB_SEARCH_SKIN, kSearchBoxRect, true},
        {theSearchBox.Item(IDC_SEARCH_ICON), IDB_SEARCH_ICON_HOVER, kSearchIconRect, false},
        {FirstPicture(thePlayerFrame), IDB_PLAYER_FRAME_SKIN, {0, 0, 341, 311}, true},
        {theNews.Item(IDC_NEWS_BODY), IDB_NEWS_BODY, {0, 0, kNewsWidth, 17}, false},
    };
    for (size_t i = 0; i < images_.size(); ++i) {
        const Piece& piece = pieces[i];
        images_[i].Attach(piece.control);
        if (piece.placedHere) {
            images_[i].ShowAt(piece.bitmap, piece.place, dpi);
        } else {
            images_[i].Scale(piece.bitmap, piece.place, dpi);
        }
    }
}

} // namespace qv
