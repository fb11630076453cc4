#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "framework/animation.h"
#include "framework/dialog.h"
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

    // The bar's side of opening and closing: lay out the current mode, then slide.
    void ApplyModeLayout() const;
    bool IsParked() const;
    void Park() const;
    void MoveSlid(int y) const;
    void StartOpening(int x);
    void StartClosing(int x);
    // After a screen change, x being the panel's place under the bar at its new home.
    void FollowBar(int x);

    void StartPlayback(PlayerVariant variant);
    void StopPlayback();
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
    // The player icon's click while playing: pins or releases the player; true when now pinned.
    bool TogglePlayerPinned() { return nowPlaying.playerPinned = !nowPlaying.playerPinned; }

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
