#include "app/quorvel_dlg.h"

#include <shellapi.h>

#include <utility>

#include "app/bar_layout.h"
#include "app/bar_zones.h"
#include "app/singletons.h"
#include "framework/common_controls.h"
#include "framework/display_dpi.h"
#include "framework/display_scale.h"
#include "framework/ole_apartment.h"
#include "monitor/adapter_monitor.h"
#include "monitor/cpu_sampler.h"
#include "settings/settings_store.h"
#include "ui/default_browser.h"

namespace qv {

MessageTable CQuorvelDlg::Messages() const {
    static constexpr MessageEntry table[] = {
        OnMessage<kBarStartMessage, &CQuorvelDlg::FinishStart>(),
        OnMessage<WM_TIMER, &CQuorvelDlg::OnTimer>(),
        OnMessage<WM_DISPLAYCHANGE, &CQuorvelDlg::OnDisplayChange>(),
        OnMessage<WM_DPICHANGED, &CQuorvelDlg::OnDpiChanged>(),
        OnMessage<WM_SETTINGCHANGE, &CQuorvelDlg::OnSettingChange>(),
        OnMessage<WM_POWERBROADCAST, &CQuorvelDlg::OnPowerBroadcast>(),
        OnMessage<WM_MOUSEMOVE, &CQuorvelDlg::OnMouseMove, After::Default>(),
        OnMessage<WM_MOUSELEAVE, &CQuorvelDlg::OnMouseLeave>(),
        OnMessage<WM_LBUTTONDOWN, &CQuorvelDlg::OnLButtonDown, After::Default>(),
        OnMessage<WM_LBUTTONUP, &CQuorvelDlg::OnLButtonUp, After::Default>(),
        OnMessage<WM_HOTKEY, &CQuorvelDlg::OnHotKey>(),
        OnMessage<WM_RBUTTONDOWN, &CQuorvelDlg::OnRButtonDown, After::Default>(),
        OnMessage<WM_RBUTTONUP, &CQuorvelDlg::OnRButtonUp, After::Default>(),
        OnMessage<WM_PAINT, &CQuorvelDlg::OnPaint>(),
        OnMessage<WM_ERASEBKGND, &CQuorvelDlg::OnEraseBackground>(),
        OnMessage<WM_QUERYDRAGICON, &CQuorvelDlg::OnQueryDragIcon>(),
        OnCommand<ID_SETTINGS, &CQuorvelDlg::OnSettings>(),
        OnCommand<ID_TOGGLE_PLAYLIST, &CQuorvelDlg::ShowHidePlaylist>(),
        OnCommand<ID_TOGGLE_NEWS, &CQuorvelDlg::ToggleNewsWindow>(),
        OnCommand<ID_TOGGLE_WEB_SEARCH, &CQuorvelDlg::ToggleSearchBox>(),
        OnCommand<ID_HELP_UPDATE, &CQuorvelDlg::OnHelpAndUpdate>(),
        OnCommand<ID_ABOUT, &CQuorvelDlg::OnAbout>(),
        OnCommand<ID_TASK_MANAGER, &CQuorvelDlg::OnTaskManager>(),
        OnCommand<ID_EXIT, &CQuorvelDlg::OnExit>(),
        IgnoreCommand<IDOK>(),
        IgnoreCommand<IDCANCEL>(),
        IgnoreCommand<ID_UNUSED_32775>(),
    };
    return table;
}

void CQuorvelDlg::BindControls() {
    Bind(IDC_BAR_NEWS_HOVER, newsHover);
    Bind(IDC_BAR_PLAY_HOVER, playHover);
    Bind(IDC_BAR_PLAYER_HOVER, playerHover);
    Bind(IDC_BAR_WEB_SEARCH_HOVER, webSearchHover);
    Bind(IDC_BAR_STOP_HOVER, stopHover);
    Bind(IDC_BAR_STOP, stop);
    Bind(IDC_BAR_SKIN, background);
    Bind(IDC_BAR_VIDEO_SEARCH_HOVER, videoSearchHover);
}

// The bar shows with its skin painted before anything else; the other windows are made from a
// message it posts to itself. A posted message is taken before any input, so no click or key
// reaches the bar before they exist, and the hotkey is registered only after them. It is posted
// before the bar can be seen, so nothing that someone who sees the bar posts comes before it.
// The bar paints before it is activated (the dialog manager activates it, a visible dialog, once
// this returns): under Wine, activation sets up the input method, OLE included, some 15 ms.
BOOL CQuorvelDlg::OnInitDialog() {
    SetCurrentDpi(ReadWindowDpi(hwnd_));
    applicationIcon_ = LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDI_APP));
    MakeLayered(ExStyle(), SkinColourKey, 255);
    PlaceSkinControls();
    SnapBarHome();
    cells_.Create(skinImages_[0].Current());
    startPending_ = true;
    if (!PostMessageA(hwnd_, kBarStartMessage, 0, 0)) {
        FinishStart(0, 0); // a full queue: the windows come before the bar, as they must
    }
    ShowWindow(hwnd_, SW_SHOWNOACTIVATE);
    UpdateWindow(hwnd_);
    return TRUE;
}

// The rest of the start, in its usual order; it runs once, for the message the start posted.
void CQuorvelDlg::FinishStart(WPARAM, LPARAM) {
    if (!std::exchange(startPending_, false)) {
        return;
    }
    InitCommonControlsOnce();
    CreateChildWindows();
    MakeWindowsLayered();
    ScalePanelSkins();
    thePlaylist.ParkAtCreation();
    theNews.ParkAtCreation();
    infoPanel_.Connect(hwnd_, theBalloon, thePlaylist.Playback(), adapter_);
    InitCpuSampler();
    adapter_.UseTable(ReadInterfaceIndexes());
    ReadAdapterSetting();
    SetTimer(hwnd_, BarRefreshTimer, kBarRefreshPeriodMs, nullptr);
    RegisterHotKey(hwnd_, SearchHotKey, MOD_CONTROL | MOD_SHIFT, VK_CONTROL);
    menu_.reset(LoadMenuA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDM_POPUP)));
    popupMenu_ = GetSubMenu(menu_.get(), 0);
}

// The panels are given what they reach beyond themselves before their windows exist: the
// playlist panel fills itself while it is created.
void CQuorvelDlg::CreateChildWindows() {
    thePlayerFrame.ShowsOver(thePlayerBrowser);
    thePlaylist.Connect({&thePlayerFrame, &thePlayerBrowser,
                         [this] { return adapter_.ReceivedOctets(); },
                         [this] { RestPlayButton(); }});
    thePlaylist.Create(hwnd_);
    theNews.Create(hwnd_);
    theBalloon.Create(hwnd_);
    theSearchBox.Create(hwnd_);
    theAboutBox.Create(hwnd_);
    thePlayerFrame.Create(hwnd_);
    thePlayerBrowser.Create(hwnd_);
    for (const Window* window : std::initializer_list<const Window*>{
             this, &thePlaylist, &theNews, &theBalloon, &theSearchBox, &thePlayerFrame,
             &thePlayerBrowser, &theNews.Browser()}) {
        KeepOwnLayoutOnDpiChange(window->hwnd());
    }
    thePlaylist.SetColorKey(SkinColourKey);
    theBalloon.SetColorKey(SkinColourKey);
    theSearchBox.SetColorKey(SkinColourKey);
    thePlayerFrame.SetColorKey(SkinColourKey);
}

void CQuorvelDlg::MakeWindowsLayered() {
    // The panels take on the bar's tool-window style, so none gets a taskbar button.
    const LONG_PTR barStyle = ExStyle();
    for (const Window* panel :
         std::initializer_list<const Window*>{&thePlaylist, &theNews, &theBalloon, &theSearchBox}) {
        panel->MakeLayered(barStyle, SkinColourKey, 255);
    }
    thePlayerFrame.MakeLayered(barStyle, SkinColourKey, 0);
    thePlayerFrame.ShowNoActivate();
}

void CQuorvelDlg::PlaceSkinControls() {
    const int dpi = CurrentDpi();
    skinImages_[0].Attach(Item(kBarSkinPlacement.controlId));
    skinImages_[0].ShowAt(IDB_BAR_SKIN, kBarSkinPlacement.rect, dpi);
    for (size_t i = 0; i < kBarControlPlacements.size(); ++i) {
        SkinImage& image = skinImages_[i + 1];
        image.Attach(Item(kBarControlPlacements[i].controlId));
        image.ShowAt(kBarImageBitmaps[i], kBarControlPlacements[i].rect, dpi);
    }
}

void CQuorvelDlg::ReadAdapterSetting() {
    const std::optional<uint32_t> stored = SettingsReader().ReadStoredNumber(kNicAdapterSetting);
    if (stored) {
        adapter_.Select(int32_t(*stored));
    } else {
        // A first run watches the adapter that carries the traffic, not the table's first row
        // (the loopback interface, on most machines).
        adapter_.SelectDefault();
    }
}

void CQuorvelDlg::SnapBarHome() const {
    const PixelRect home = BarHomeRect(GetSystemMetrics(SM_CXSCREEN), CurrentDpi());
    SetWindowPos(hwnd_, nullptr, home.x, home.y, home.width, home.height,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

void CQuorvelDlg::FollowScreen() {
    SnapBarHome();
    barLeft_ = WindowRect().left;
    thePlaylist.FollowBar(barLeft_);
    theNews.FollowBar(barLeft_);
    theSearchBox.CenterOnDesktop();
}

// The bar's images and the skins of the windows it lays out, at the display's scale.
void CQuorvelDlg::ScaleSkins() {
    PlaceSkinControls();
    ScalePanelSkins();
}

void CQuorvelDlg::ScalePanelSkins() {
    theBalloon.UseScale();
    panelSkins_.UseScale(CurrentDpi());
    theSearchBox.LayOut();
}

void CQuorvelDlg::LayOutAtScale() {
    ScaleSkins();
    cells_.Create(skinImages_[0].Current());
    theNews.LoadFeedTable();
    theNews.Browser().LayOut();
    FollowScreen();
    InvalidateRect(hwnd_, nullptr, TRUE);
}

// The bar stays at its home whatever place the system suggests for the new scale.
LRESULT CQuorvelDlg::OnDpiChanged(WPARAM dpis, LPARAM) {
    const int oldDpi = CurrentDpi();
    const PanelRest playlist = thePlaylist.RestAt(oldDpi);
    const PanelRest news = theNews.RestAt(oldDpi);
    SetCurrentDpi(DpiOfChange(dpis));
    playlist.PutBack();
    news.PutBack();
    LayOutAtScale();
    return 0;
}

// A new resolution or primary monitor.
void CQuorvelDlg::OnDisplayChange(WPARAM, LPARAM) {
    FollowScreen();
}

// A taskbar docked elsewhere or an application bar changes the work area.
void CQuorvelDlg::OnSettingChange(WPARAM action, LPARAM) {
    if (action == SPI_SETWORKAREA) {
        FollowScreen();
    }
}

// Only the automatic resume is sent on every wake, with or without a user at the machine.
LRESULT CQuorvelDlg::OnPowerBroadcast(WPARAM event, LPARAM) {
    if (event == PBT_APMRESUMEAUTOMATIC) {
        StartFreshCpuInterval();
        adapter_.StartFreshInterval();
    }
    return TRUE;
}

void CQuorvelDlg::ToggleNewsWindow() {
    theNews.ToggleBeside(hwnd_, WindowRect().left);
}

void CQuorvelDlg::ToggleSearchBox() {
    theSearchBox.ToggleSearchBox();
}

void CQuorvelDlg::OnTimer(UINT_PTR id) {
    InfoSection section{};
    if (id == BarRefreshTimer) {
        PaintBarCells();
    } else if (InfoPanel::SectionOfTimer(id, section)) {
        PaintInfoSection(section);
    }
}

// Each tick composes the cells that changed and copies them onto the bar at once; a tick that
// changes nothing takes no DC. The composition holds the skin under the cells, so nothing beneath
// needs repainting; a repaint for any other cause copies the whole composition (WM_PAINT). The
// next adapter reading is asked for last.
void CQuorvelDlg::PaintBarCells() {
    const RECT changed = cells_.Compose(SampleBarFigures(memoryStatus_, adapter_));
    if (!IsRectEmpty(&changed)) {
        cells_.CopyStrip(WindowDC(hwnd_).get(), changed);
    }
    adapter_.Request();
}

void CQuorvelDlg::ShowInfoSection(InfoSection section) {
    infoPanel_.ShowSection(section, memoryStatus_);
}

void CQuorvelDlg::PaintInfoSection(InfoSection section) {
    infoPanel_.PaintSection(section, memoryStatus_);
}

// With a button or Shift or Ctrl held the bar does not react to moves.
void CQuorvelDlg::OnMouseMove(UINT flags, POINT point) {
    TRACKMOUSEEVENT leave{sizeof leave, TME_LEAVE, hwnd_, 0};
    TrackMouseEvent(&leave);
    if (flags == 0) {
        HoverStep(point);
    }
}

// A quick move can leave the 18-pixel bar without a move event over its outer rows; leaving
// counts as passing them, so the balloon and highlights never stay behind.
void CQuorvelDlg::OnMouseLeave() {
    LeaveHotRows();
}

// The pressed icon loses its highlight until the button is released.
void CQuorvelDlg::OnLButtonDown(UINT, POINT) {
    for (const Window* image :
         {&newsHover, &webSearchHover, &videoSearchHover, &playHover, &playerHover}) {
        image->Show(false);
    }
}

void CQuorvelDlg::OnLButtonUp(UINT, POINT point) {
    HoverStep(point);
    ClickStep(point);
}

// Runs at every pointer event inside a zone, not only on entry.
void CQuorvelDlg::HoverStep(POINT point) {
    switch (HitHoverZone(point.x, point.y, CurrentDpi())) {
    case HoverZone::NewsIcon:
        newsHover.Show(true);
        break;
    case HoverZone::WebSearchIcon:
        webSearchHover.Show(true);
        break;
    case HoverZone::VideoSearchIcon:
        videoSearchHover.Show(true);
        break;
    case HoverZone::PlayButton:
        UpdatePlayButtonHover();
        ShowInfoSection(InfoSection::Media);
        break;
    case HoverZone::PlayerIcon:
        HoverPlayerIcon();
        break;
    case HoverZone::CpuCell:
        ShowInfoSection(InfoSection::Processor);
        break;
    case HoverZone::MemoryCell:
        ShowInfoSection(InfoSection::Memory);
        break;
    case HoverZone::NetworkCell:
        ShowInfoSection(InfoSection::Network);
        break;
    case HoverZone::None:
        LeaveHotRows();
        break;
    }
}

void CQuorvelDlg::ClickStep(POINT point) {
    switch (HitClickZone(point.x, point.y, CurrentDpi())) {
    case ClickZone::NewsIcon:
        ToggleNewsWindow();
        break;
    case ClickZone::WebSearchIcon:
        ToggleSearchBox();
        break;
    case ClickZone::VideoSearchIcon:
        ClickVideoSearch();
        break;
    case ClickZone::PlayButton:
        ClickPlayButton();
        break;
    case ClickZone::PlayerIcon:
        ClickPlayerIcon();
        break;
    case ClickZone::ValueCells:
        ShowHidePlaylist();
        break;
    case ClickZone::None:
        break;
    }
}

void CQuorvelDlg::LeaveHotRows() {
    for (const Window* image : {&newsHover, &webSearchHover, &videoSearchHover}) {
        image->Show(false);
    }
    RestPlayButton();
    playerHover.Show(false);
    theBalloon.FadeOut();
    infoPanel_.StopSectionTimers();
    ReleaseUnpinnedPlayer();
}

void CQuorvelDlg::OnHotKey(int id) {
    if (id == SearchHotKey) {
        ToggleSearchBox();
    }
}

void CQuorvelDlg::OnRButtonDown(UINT, POINT) {
    theBalloon.Show(false);
}

void CQuorvelDlg::OnRButtonUp(UINT, POINT point) {
    ClientToScreen(hwnd_, &point);
    TrackPopupMenu(popupMenu_, TPM_LEFTALIGN, point.x, point.y, 0, hwnd_, nullptr);
}

// The skin control under the strip paints first and the strip goes over it through the window DC
// (under Wine the paint DC leaves the control's area out), so a repaint by any cause shows the
// cells of the last tick.
void CQuorvelDlg::OnPaint() {
    UpdateWindow(background.hwnd());
    ValidateRect(hwnd_, nullptr);
    cells_.CopyStrip(WindowDC(hwnd_).get());
}

BOOL CQuorvelDlg::OnEraseBackground(HDC) {
    return FALSE;
}

HICON CQuorvelDlg::OnQueryDragIcon() {
    return applicationIcon_;
}

void CQuorvelDlg::OnSettings() {
    theOptions.SetMonitoredAdapter(uint32_t(adapter_.Position()));
    if (theOptions.RunModal(hwnd_) != IDOK) {
        return;
    }
    thePlaylist.LoadPlaylist();
    ReadAdapterSetting();
    // The saved feeds and update period take effect through a feed run.
    theNews.StartFeedDownload();
}

void CQuorvelDlg::OnHelpAndUpdate() {
    OpenHelpPage(SettingsReader().ReadSettingNumber(kAffSetting, 0));
}

void CQuorvelDlg::OnAbout() {
    theAboutBox.ShowWithTitleFont(kSkinFaceName);
}

void CQuorvelDlg::OnTaskManager() {
    EnterOleApartment();
    ShellExecuteA(nullptr, "open", "taskmgr", nullptr, nullptr, SW_SHOW);
}

void CQuorvelDlg::OnExit() {
    PostQuitMessage(0);
}

// The play button, the player icon and the playlist toggles.

PlayButtonImages CQuorvelDlg::PlayButton() const {
    return {stop, playHover, stopHover};
}

void CQuorvelDlg::UpdatePlayButtonHover() {
    ShowPlayButtonHover(PlayButton(), thePlaylist);
}

void CQuorvelDlg::RestPlayButton() {
    qv::RestPlayButton(PlayButton(), thePlaylist);
}

void CQuorvelDlg::ClickPlayButton() {
    qv::ClickPlayButton(PlayButton(), thePlaylist);
}

void CQuorvelDlg::HoverPlayerIcon() {
    playerHover.Show(true);
    thePlaylist.ShowPlayerOnHover();
}

void CQuorvelDlg::ClickPlayerIcon() {
    playerHover.Show(true);
    thePlaylist.PinOrReleasePlayer();
}

void CQuorvelDlg::ReleaseUnpinnedPlayer() {
    thePlaylist.ReleaseUnpinnedPlayer();
}

void CQuorvelDlg::ClickVideoSearch() {
    SnapBarHome();
    thePlaylist.ChooseMode(true);
    TogglePlaylistPanel();
}

void CQuorvelDlg::ShowHidePlaylist() {
    SnapBarHome();
    thePlaylist.ChooseMode(false);
    TogglePlaylistPanel();
}

void CQuorvelDlg::TogglePlaylistPanel() {
    barLeft_ = WindowRect().left;
    thePlaylist.ToggleUnder(barLeft_);
}

} // namespace qv
