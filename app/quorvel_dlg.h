#pragma once

#include <windows.h>

#include <array>
#include <cstdint>

#include "app/panel_skins.h"
#include "framework/dialog.h"
#include "framework/handles.h"
#include "framework/skin_image.h"
#include "media/play_button.h"
#include "monitor/adapter_monitor.h"
#include "monitor/balloon_layout.h"
#include "monitor/bar_cells.h"
#include "monitor/info_panel.h"
#include "res/resource.h"

namespace qv {

// The bar's timers: the once-a-second refresh of the value cells, and the information panel's
// section timers, one a section.
enum BarTimer : UINT_PTR {
    BarRefreshTimer = 1,
    MediaSectionTimer = SectionTimerId(InfoSection::Media),
    ProcessorSectionTimer = SectionTimerId(InfoSection::Processor),
    MemorySectionTimer = SectionTimerId(InfoSection::Memory),
    NetworkSectionTimer = SectionTimerId(InfoSection::Network),
};
inline constexpr UINT kBarRefreshPeriodMs = 1000;
inline constexpr int SearchHotKey = 123;
// Posted by the bar to itself once it shows: the rest of its start.
inline constexpr UINT kBarStartMessage = WM_APP + 1;

// The widget bar: a colour-keyed strip at the top of the screen that owns every other window.
class CQuorvelDlg : public CDialog {
public:
    CQuorvelDlg() : CDialog(IDD_BAR) {}

    void SnapBarHome() const;
    // The bar, the open panels and the player go to their places for the screen as it is now.
    void FollowScreen();
    // Every window takes the sizes and pictures of the display's scale as it is now.
    void LayOutAtScale();
    void TogglePlaylistPanel();
    void ToggleNewsWindow();
    void ToggleSearchBox();

    // The play button, the player icon and the playlist toggles.
    void UpdatePlayButtonHover();
    void RestPlayButton();
    void ClickPlayButton();
    void HoverPlayerIcon();
    void ClickPlayerIcon();
    void ReleaseUnpinnedPlayer();
    void ClickVideoSearch();
    void ShowHidePlaylist();
    HMENU PopupMenu() const { return popupMenu_; }

    // The value cells and the information balloon.
    void PaintBarCells();
    void ShowInfoSection(InfoSection section);
    void PaintInfoSection(InfoSection section);
    void LeaveHotRows();

    BarCells& Cells() { return cells_; }
    const InfoPanel& Info() const { return infoPanel_; }
    HICON ApplicationIcon() const { return applicationIcon_; }
    AdapterMonitor& Adapter() { return adapter_; }
    int32_t BarLeft() const { return barLeft_; }

protected:
    MessageTable Messages() const override;
    void BindControls() override;
    BOOL OnInitDialog() override;

private:
    void FinishStart(WPARAM, LPARAM);
    void CreateChildWindows();
    void MakeWindowsLayered();
    void PlaceSkinControls();
    void ScaleSkins();
    void ScalePanelSkins();
    void ReadAdapterSetting();

    void OnTimer(UINT_PTR id);
    void OnDisplayChange(WPARAM, LPARAM);
    LRESULT OnDpiChanged(WPARAM dpis, LPARAM);
    void OnSettingChange(WPARAM action, LPARAM);
    LRESULT OnPowerBroadcast(WPARAM event, LPARAM);
    void OnMouseMove(UINT flags, POINT point);
    void OnMouseLeave();
    void OnLButtonDown(UINT flags, POINT point);
    void OnLButtonUp(UINT flags, POINT point);
    void HoverStep(POINT point);
    void ClickStep(POINT point);
    void OnHotKey(int id);
    void OnRButtonDown(UINT flags, POINT point);
    void OnRButtonUp(UINT flags, POINT point);
    void OnPaint();
    BOOL OnEraseBackground(HDC dc);
    HICON OnQueryDragIcon();

    PlayButtonImages PlayButton() const;

    void OnSettings();
    void OnHelpAndUpdate();
    void OnAbout();
    void OnTaskManager();
    void OnExit();

    Window newsHover, playHover, playerHover, webSearchHover;
    Window stopHover, stop;
    Window background;
    Window videoSearchHover;
    std::array<SkinImage, 8> skinImages_;
    PanelSkins panelSkins_;
    HICON applicationIcon_ = nullptr;
    MEMORYSTATUSEX memoryStatus_{};
    int32_t barLeft_ = 0;
    AdapterMonitor adapter_;
    BarCells cells_;
    InfoPanel infoPanel_;
    UniqueMenu menu_;
    HMENU popupMenu_ = nullptr;
    bool startPending_ = false;
};

} // namespace qv
