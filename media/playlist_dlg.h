#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "framework/animation.h"
#include "framework/dialog.h"
#include "framework/panel_rest.h"
#include "media/now_playing.h"
#include "media/player_browser_dlg.h"
#include "media/player_frame_dlg.h"
#include "media/player_page.h"
#include "media/slide_steps.h"
#include "res/resource.h"

namespace qv {

// The playlist panel: slides down under the bar and lists the playlist (numbered) or, in search
// mode, the video-search results; choosing a row plays it. It holds the playback state.
class CPlaylistDlg : public CDialog {
public:
    // What the panel reaches beyond itself, given by the bar when it creates the panel.
    struct Links {
        CDODadevoDlg* playerFrame = nullptr;
        CDODadevo1Dlg* playerBrowser = nullptr;
        // The monitored adapter's received-octet counter, read at each start of playback.
        std::function<uint32_t()> receivedOctets;
        // A chosen row has started playing (the bar rests its play button).
        std::function<void()> rowPlayed;
    };

    CPlaylistDlg() : CDialog(IDD_PLAYLIST) {}

    void Connect(Links links) { links_ = std::move(links); }
    // The bar's initialisation: the panel parked above the screen, its name list placed, shown.
    void ParkAtCreation() const;

    // Refills the name and link lists from the playlist file; on a file error they keep what
    // they held.
    void LoadPlaylist() const;

    // The panel hangs under the bar, 16 pixels in from its left: a toggle lays out the current
    // mode and slides it open, or closed when it is not parked.
    void ToggleUnder(int barLeft);
    bool IsParked() const;
    void Park() const;
    void MoveSlid(int y) const;
    // After a screen change, barLeft being the bar's left at its new home.
    void FollowBar(int barLeft);
    // Taken before a change of scale, put back after it.
    PanelRest RestAt(int dpi) const;

    void StartPlayback(PlayerVariant variant);
    void StopPlayback();
    bool IsPlaying() const { return nowPlaying.isPlaying; }
    // The player icon: under the pointer it shows the player while something plays, a click
    // pins or releases it, and when the pointer leaves an unpinned player goes.
    void ShowPlayerOnHover() const;
    void PinOrReleasePlayer();
    void ReleaseUnpinnedPlayer() const;
    // The link of the name list's selected row; empty when none is selected.
    std::string SelectedPlaylistLink() const;

    // Searches the video site for the query box's text and page `searchPage`, showing the
    // fetch's progress in the query box, and lists the results. Blocks until the page is in.
    void RunVideoSearch();

    // Switching between the playlist and the video search parks the panel first; choosing the
    // mode it is in leaves it where it is.
    void ChooseMode(bool search);
    bool InSearchMode() const { return searchMode; }
    void SetColorKey(uint32_t key) { colorKey = key; }
    const NowPlaying& Playback() const { return nowPlaying; }

    // What tests read back.
    const Window& NameList() const { return nameList; }
    const Window& LinkList() const { return linkList; }
    const Window& ResultList() const { return resultList; }
    const std::string& SearchUrl() const { return searchUrl; }
    const Window& ResultLinkList() const { return resultLinkList; }
    const Window& QueryBox() const { return queryBox; }
    int32_t SlideX() const { return slideX; }
    int32_t SlideY() const { return slideY; }
    int32_t SearchPage() const { return searchPage; }
    uint32_t ColorKey() const { return colorKey; }

protected:
    MessageTable Messages() const override;
    void BindControls() override;
    BOOL OnInitDialog() override;

private:
    void ApplyModeLayout() const;
    static int XUnder(int barLeft);
    void StartOpening(int x);
    void StartClosing(int x);
    // True when now pinned.
    bool TogglePlayerPinned() { return nowPlaying.playerPinned = !nowPlaying.playerPinned; }
    void OnTimer(UINT_PTR id);
    void SlideInStep();
    void SlideOutStep();
    void ApplySlideStep(const SlideStep& step, UINT_PTR timer);
    void OnNameSelected();
    void OnResultSelected();
    void OnMouseMove(UINT flags, POINT point);
    void OnLButtonDown(UINT flags, POINT point);
    void OnLButtonUp(UINT flags, POINT point);
    void OnSearchEntered();
    void OnCancel();
    void PlacePlayerWindows() const;
    void RepaintNow() const;

    Links links_;
    Window nameList, linkList;
    NowPlaying nowPlaying;
    bool searchMode = false;
    int32_t slideY = 0;
    int32_t slideX = 0;
    int32_t slideAlpha = 0;
    uint32_t colorKey = 0;
    Window resultList, resultLinkList, queryBox;
    std::string searchUrl;
    int32_t searchPage = 0;
};

} // namespace qv
