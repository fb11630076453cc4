#pragma once

#include <windows.h>

#include <cstdint>

#include "framework/dialog.h"
#include "framework/handles.h"
#include "res/resource.h"

namespace qv {

inline constexpr UINT_PTR BarRefreshTimer = 1;
inline constexpr UINT kBarRefreshPeriodMs = 1000;
inline constexpr int SearchHotKey = 123;

// The widget bar: a colour-keyed strip at the top of the screen that owns every other window.
class CQuorvelDlg : public CDialog {
public:
    CQuorvelDlg() : CDialog(IDD_BAR) {}

    void SnapBarHome() const;
    void TogglePlaylistPanel();
    void ToggleNewsWindow();
    void ToggleSearchBox();

    // The play button, the player icon and the playlist toggles (app/bar_media.cpp).
    void UpdatePlayButtonHover();
    void RestPlayButton();
    void ClickPlayButton();
    void HoverPlayerIcon();
    void ClickPlayerIcon();
    void ReleaseUnpinnedPlayer();
    void ClickVideoSearch();
    void ShowHidePlaylist();
    HMENU PopupMenu() const { return popupMenu_; }

    // The value cells and the information balloon (monitor/bar_cells.cpp, monitor/info_panel.cpp).
    void PaintBarCells();
    void ShowInfoSection(int section);
    void PaintInfoSection(int section);
    void LeaveHotRows();
    void StopSectionTimers();

    HICON applicationIcon = nullptr;
    Window newsHover, playHover, playerHover, webSearchHover;
    MEMORYSTATUSEX memoryStatus{};
    Window stopHover, stop;
    int32_t adapterPosition = 0;
    UniquePen gaugePen;
    UniqueBrush gaugeFillBrush;
    UniqueBrush gaugeTrackBrush;
    const char* faceName = "";
    int32_t barFontHeight = 0;
    int32_t panelFontHeight = 0;
    int32_t headingFontHeight = 0;
    Window background;
    int32_t barLeft = 0;
    Window videoSearchHover;

protected:
    MessageTable Messages() const override;
    void BindControls() override;
    BOOL OnInitDialog() override;

private:
    void CreateChildWindows();
    void MakeWindowsLayered();
    void PlaceSkinControls();
    void LayOutSearchBox();
    void ParkPanels();
    void CreateGaugeTools();

    void OnTimer(UINT_PTR id);
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

    void OnSettings();
    void OnHelpAndUpdate();
    void OnAbout();
    void OnTaskManager();
    void OnExit();

    UniqueMenu menu_;
    HMENU popupMenu_ = nullptr;
    FaceFontCache barFont_;
    FaceFontCache panelFont_;
    FaceFontCache headingFont_;
};

} // namespace qv
