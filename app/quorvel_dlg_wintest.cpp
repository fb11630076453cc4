#include "app/quorvel_dlg.h"

#include <tlhelp32.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "app/bar_layout.h"
#include "framework/skin_image.h"
#include "monitor/test_support.h"
#include "app/bar_wintest_support.h"
#include "app/singletons.h"
#include "media/media_layout.h"
#include "media/media_wintest_support.h"
#include "monitor/adapter_monitor.h"
#include "news/news_wintest_support.h"
#include "testing/loopback_http_server.h"
#include "testing/modal_answers.h"
#include "testing/resource_count.h"
#include "testing/scratch_registry.h"
#include "testing/text_pixels.h"
#include "testing/timer_recorder.h"
#include "ui/search_layout.h"

namespace {

using namespace qv;

struct LayeredState {
    COLORREF key = 0;
    BYTE alpha = 0;
    DWORD flags = 0;
};

LayeredState Layered(HWND window) {
    LayeredState state;
    GetLayeredWindowAttributes(window, &state.key, &state.alpha, &state.flags);
    return state;
}

using qv::testing::RectInParent;
using qv::testing::ScreenRect;

class Bar : public ::testing::Test {
protected:
    void SetUp() override {
        RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Quorvel");
        ASSERT_TRUE(qv::testing::CreateStartedBar());
        screenWidth = GetSystemMetrics(SM_CXSCREEN);
    }
    void TearDown() override { theBar.Destroy(); }
    int screenWidth = 0;
};

TEST_F(Bar, SitsAtItsHomeAsAColourKeyedToolWindow) {
    EXPECT_EQ(ScreenRect(theBar.hwnd()), (PixelRect{screenWidth - 350, 0, 236, 18}));
    EXPECT_TRUE(theBar.IsVisible());
    const LONG style = GetWindowLongA(theBar.hwnd(), GWL_STYLE);
    EXPECT_TRUE(style & WS_POPUP);
    EXPECT_FALSE(style & (WS_CAPTION | WS_THICKFRAME | WS_SYSMENU)); // a bare strip, never dragged
    const LONG_PTR exStyle = theBar.ExStyle();
    EXPECT_TRUE(exStyle & WS_EX_LAYERED);
    EXPECT_TRUE(exStyle & WS_EX_TOOLWINDOW); // no taskbar button
    // The skin's statics cover it: nothing is erased under them, and the system is told so.
    const qv::testing::EraseOutcome erase = qv::testing::EraseOnRed(theBar.hwnd());
    EXPECT_EQ(erase.answer, 0);
    EXPECT_TRUE(erase.canvasUntouched);
    EXPECT_FALSE(exStyle & WS_EX_APPWINDOW);
    const LayeredState layered = Layered(theBar.hwnd());
    EXPECT_EQ(layered.key, COLORREF(0x00FF00));
    EXPECT_EQ(layered.alpha, 255);
    EXPECT_EQ(layered.flags, DWORD(LWA_COLORKEY | LWA_ALPHA));
}

TEST_F(Bar, CreatesLayersAndParksItsWindows) {
    for (const CDialog* panel : std::initializer_list<const CDialog*>{&thePlaylist, &theNews,
                                                                      &theBalloon, &theSearchBox}) {
        ASSERT_TRUE(IsWindow(panel->hwnd())) << panel->TemplateId();
        EXPECT_EQ(GetWindow(panel->hwnd(), GW_OWNER), theBar.hwnd()) << panel->TemplateId();
        EXPECT_TRUE(panel->ExStyle() & WS_EX_LAYERED) << panel->TemplateId();
        EXPECT_TRUE(panel->ExStyle() & WS_EX_TOOLWINDOW) << panel->TemplateId();
        EXPECT_EQ(Layered(panel->hwnd()).alpha, 255) << panel->TemplateId();
        EXPECT_EQ(Layered(panel->hwnd()).key, COLORREF(0x00FF00)) << panel->TemplateId();
    }
    EXPECT_TRUE(IsWindow(theAboutBox.hwnd()));
    EXPECT_FALSE(theAboutBox.IsVisible());
    EXPECT_TRUE(IsWindow(thePlayerBrowser.hwnd()));

    EXPECT_EQ(Layered(thePlayerFrame.hwnd()).alpha, 0);
    EXPECT_TRUE(thePlayerFrame.IsVisible());

    EXPECT_EQ(ScreenRect(thePlaylist.hwnd()), (PixelRect{300, -200, 190, 192}));
    EXPECT_TRUE(thePlaylist.IsVisible());
    EXPECT_EQ(RectInParent(thePlaylist.Item(IDC_PLAYLIST_NAMES)), (PixelRect{7, 6, 172, 175}));
    EXPECT_EQ(ScreenRect(theNews.hwnd()), (PixelRect{300, -490, 263, 300}));
    EXPECT_TRUE(theNews.IsVisible());

    const PixelRect box = ScreenRect(theSearchBox.hwnd());
    EXPECT_EQ(box.width, 378);
    EXPECT_EQ(box.height, 53);
    EXPECT_NEAR(box.x, (screenWidth - 378) / 2, 1);
    EXPECT_EQ(RectInParent(theSearchBox.Item(IDC_SEARCH_EDIT)), (PixelRect{75, 27, 240, 15}));
    EXPECT_EQ(RectInParent(theSearchBox.Item(IDC_SEARCH_ICON)), (PixelRect{325, 21, 30, 28}));

    EXPECT_EQ(thePlaylist.ColorKey(), SkinColourKey);
    EXPECT_EQ(theBalloon.ColorKey(), SkinColourKey);
    EXPECT_EQ(theSearchBox.ColorKey(), SkinColourKey);
    EXPECT_EQ(thePlayerFrame.ColorKey(), SkinColourKey);
}

TEST_F(Bar, PlacesItsSkinControlsAndShowsOnlyTheBackground) {
    EXPECT_EQ(RectInParent(theBar.Item(IDC_BAR_SKIN)), (PixelRect{0, 0, 235, 18}));
    EXPECT_TRUE(IsWindowVisible(theBar.Item(IDC_BAR_SKIN)));
    const ControlPlacement placements[] = {
        {1009, {0, 0, 16, 18}},   {1010, {16, 0, 14, 18}}, {1014, {16, 0, 14, 18}},
        {1013, {16, 0, 14, 18}},  {1011, {30, 0, 19, 18}}, {1012, {199, 0, 19, 18}},
        {1015, {218, 0, 17, 18}},
    };
    for (const ControlPlacement& placement : placements) {
        const HWND control = theBar.Item(placement.controlId);
        EXPECT_EQ(RectInParent(control), placement.rect) << placement.controlId;
        EXPECT_FALSE(IsWindowVisible(control)) << placement.controlId;
    }
    // Each shows its own picture: the stop and play highlights are one size, and so are others.
    const std::pair<int, int> pictures[] = {{1039, 138}, {1009, 145}, {1010, 144}, {1014, 160},
                                            {1013, 161}, {1011, 143}, {1012, 146}, {1015, 216}};
    for (const auto& [control, bitmap] : pictures) {
        const auto shown = reinterpret_cast<HBITMAP>(
            SendMessageA(theBar.Item(control), STM_GETIMAGE, IMAGE_BITMAP, 0));
        const UniqueBitmap art(
            static_cast<HBITMAP>(LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(bitmap),
                                            IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
        const SkinPixels expected = ReadSkinPixels(art.get());
        ASSERT_FALSE(expected.pixels.empty()) << bitmap;
        EXPECT_TRUE(ReadSkinPixels(shown).pixels == expected.pixels) << control;
    }
}

TEST_F(Bar, KeepsItsFieldsAndGaugeTools) {
    EXPECT_STREQ(theBar.Cells().FaceName(), "Segoe UI");
    EXPECT_EQ(theBar.Cells().FontHeight(), 12);
    EXPECT_EQ(theBar.Info().PanelFontHeight(), 16);
    EXPECT_EQ(theBar.Info().HeadingFontHeight(), 18);
    LOGBRUSH fill{}, track{};
    GetObjectA(theBar.Cells().GaugeFillBrush(), sizeof fill, &fill);
    GetObjectA(theBar.Cells().GaugeTrackBrush(), sizeof track, &track);
    EXPECT_EQ(fill.lbColor, RGB(0, 254, 0));
    EXPECT_EQ(track.lbColor, RGB(0, 128, 0));
    LOGPEN pen{};
    GetObjectA(theBar.Cells().GaugePen(), sizeof pen, &pen);
    EXPECT_EQ(pen.lopnStyle, UINT(PS_NULL));
    // The cells' refresh runs on timer 1.
    EXPECT_TRUE(qv::testing::TimerRunning(theBar.hwnd(), 1));
    EXPECT_EQ(reinterpret_cast<HICON>(SendMessageA(theBar.hwnd(), WM_QUERYDRAGICON, 0, 0)),
              theBar.ApplicationIcon());
    EXPECT_NE(theBar.ApplicationIcon(), nullptr);
}

TEST_F(Bar, HoldsTheSearchHotKeyUnderId123) {
    // While the bar holds Ctrl+Shift with the Ctrl key, nobody else can have it; once its id 123
    // is let go, the combination is free.
    EXPECT_FALSE(RegisterHotKey(nullptr, 1, MOD_CONTROL | MOD_SHIFT, VK_CONTROL));
    ASSERT_TRUE(UnregisterHotKey(theBar.hwnd(), 123));
    EXPECT_TRUE(RegisterHotKey(nullptr, 1, MOD_CONTROL | MOD_SHIFT, VK_CONTROL));
    UnregisterHotKey(nullptr, 1);
}

TEST_F(Bar, MenuHasTheEightCommandsAndThreeSeparators) {
    struct Item {
        UINT id;
        std::string text;
    };
    const std::vector<Item> expected{
        {ID_SETTINGS, "&Settings..."},
        {0, ""},
        {ID_TOGGLE_PLAYLIST, "Show/Hide Play&list"},
        {ID_TOGGLE_NEWS, "&Read News - RSS"},
        {ID_TOGGLE_WEB_SEARCH, "Search the &Web..."},
        {ID_HELP_UPDATE, "&Help and Update"},
        {ID_ABOUT, "&About..."},
        {0, ""},
        {ID_TASK_MANAGER, "Open &Task Manager"},
        {0, ""},
        {ID_EXIT, "E&xit"},
    };
    const HMENU menu = theBar.PopupMenu();
    ASSERT_NE(menu, nullptr);
    ASSERT_EQ(GetMenuItemCount(menu), int(expected.size()));
    for (int i = 0; i < int(expected.size()); ++i) {
        char text[64] = {};
        MENUITEMINFOA info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_FTYPE | MIIM_ID | MIIM_STRING;
        info.dwTypeData = text;
        info.cch = sizeof text;
        ASSERT_TRUE(GetMenuItemInfoA(menu, UINT(i), TRUE, &info));
        if (expected[i].id == 0) {
            EXPECT_TRUE(info.fType & MFT_SEPARATOR) << i;
        } else {
            EXPECT_EQ(info.wID, expected[i].id) << i;
            EXPECT_EQ(std::string(text), expected[i].text) << i;
        }
    }
}

TEST_F(Bar, EnterAndEscLeaveTheBarOpen) {
    SendMessageA(theBar.hwnd(), WM_COMMAND, IDOK, 0);
    SendMessageA(theBar.hwnd(), WM_COMMAND, IDCANCEL, 0);
    // And through the keyboard path, as the message loop delivers it.
    SetFocus(theBar.hwnd());
    for (WPARAM key : {WPARAM(VK_RETURN), WPARAM(VK_ESCAPE)}) {
        MSG msg{};
        msg.hwnd = theBar.hwnd();
        msg.message = WM_KEYDOWN;
        msg.wParam = key;
        if (!CDialog::RouteDialogMessage(msg)) {
            DispatchMessageA(&msg);
        }
    }
    qv::testing::PumpMessagesFor(50);
    EXPECT_TRUE(IsWindow(theBar.hwnd()));
    EXPECT_TRUE(theBar.IsVisible());
}

TEST_F(Bar, RightPressHidesTheBalloon) {
    theBalloon.Show(true);
    SendMessageA(theBar.hwnd(), WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(100, 5));
    EXPECT_FALSE(theBalloon.IsVisible());
}

// A right release opens the menu with its top-left corner at the pointer, in screen pixels. The
// menu's own loop runs the thread timer that reads where it stands and closes it.
TEST_F(Bar, RightReleaseOpensTheMenuAtThePointer) {
    static RECT menu;
    static int ticks;
    menu = {};
    ticks = 0;
    SetTimer(nullptr, 0, 50, [](HWND, UINT, UINT_PTR id, DWORD) {
        const HWND shown = FindWindowA("#32768", nullptr);
        const bool open = shown && IsWindowVisible(shown);
        if (open) {
            GetWindowRect(shown, &menu);
        }
        if (open || ++ticks > 400) {
            KillTimer(nullptr, id);
            EndMenu();
        }
    });
    SendMessageA(theBar.hwnd(), WM_RBUTTONUP, 0, MAKELPARAM(100, 5));
    const PixelRect bar = ScreenRect(theBar.hwnd());
    EXPECT_EQ(menu.left, bar.x + 100);
    EXPECT_EQ(menu.top, bar.y + 5);
    EXPECT_GT(menu.bottom, menu.top);
}

// Task Manager is started through the shell: its process is seen, then ended.
TEST_F(Bar, TaskManagerCommandStartsTaskManager) {
    const auto taskManager = [] {
        DWORD found = 0;
        const UniqueKernelHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
        PROCESSENTRY32 entry{};
        entry.dwSize = sizeof entry;
        for (BOOL more = Process32First(snapshot.get(), &entry); more && !found;
             more = Process32Next(snapshot.get(), &entry)) {
            if (lstrcmpiA(entry.szExeFile, "taskmgr.exe") == 0) {
                found = entry.th32ProcessID;
            }
        }
        return found;
    };
    ASSERT_EQ(taskManager(), 0u);
    SendMessageA(theBar.hwnd(), WM_COMMAND, ID_TASK_MANAGER, 0);
    ASSERT_TRUE(qv::testing::PumpMessagesUntil([&] { return taskManager() != 0; }, 30000));
    const UniqueKernelHandle process(
        OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, taskManager()));
    TerminateProcess(process.get(), 0);
    WaitForSingleObject(process.get(), 10000);
}

TEST_F(Bar, SnapFollowsTheScreenWidth) {
    theBar.MoveTo(10, 300);
    theBar.SnapBarHome();
    EXPECT_EQ(ScreenRect(theBar.hwnd()), BarHomeRect(screenWidth));
}

TEST(BarModal, ExitEndsTheModalLoop) {
    // Exit is chosen once the loop runs; the loop must then end and leave the quit message.
    // The time is taken from the choice: how long the bar takes to start is not in question.
    static DWORD exitChosenAt;
    exitChosenAt = 0;
    SetTimer(nullptr, 0, 200, [](HWND, UINT, UINT_PTR id, DWORD) {
        KillTimer(nullptr, id);
        exitChosenAt = GetTickCount();
        PostMessageA(theBar.hwnd(), WM_COMMAND, ID_EXIT, 0);
    });
    theBar.RunModal(nullptr);
    ASSERT_NE(exitChosenAt, 0u) << "the loop ended before Exit";
    EXPECT_LT(GetTickCount() - exitChosenAt, 5000u);
    EXPECT_FALSE(IsWindow(theBar.hwnd()));
    MSG msg;
    EXPECT_TRUE(PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
}

// Run as the program runs it, the bar outlives Enter and Esc: only Exit ends its loop.
TEST(BarModal, EnterAndEscDoNotEndTheModalLoop) {
    static int ticks;
    ticks = 0;
    SetTimer(nullptr, 0, 100, [](HWND, UINT, UINT_PTR id, DWORD) {
        ++ticks;
        const WPARAM commands[] = {IDOK, IDCANCEL, ID_EXIT};
        if (ticks <= 3) {
            PostMessageA(theBar.hwnd(), WM_COMMAND, commands[ticks - 1], 0);
        }
        if (ticks == 3) {
            KillTimer(nullptr, id);
        }
    });
    theBar.RunModal(nullptr);
    EXPECT_EQ(ticks, 3) << "the loop ended before Exit";
    MSG msg;
    EXPECT_TRUE(PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
}

// The cells are refreshed every second from the start, and so is each section while it shows.
TEST(BarTimers, TheCellsAndEachSectionAreRepaintedEverySecond) {
    const qv::testing::TimerRecorder timers;
    ASSERT_TRUE(timers.Installed());
    ASSERT_TRUE(qv::testing::CreateStartedBar());
    EXPECT_EQ(timers.LastPeriod(theBar.hwnd(), 1), 1000u);
    const std::pair<int, UINT_PTR> sections[] = {{20, 2}, {60, 3}, {100, 4}, {130, 5}};
    for (const auto& [x, id] : sections) {
        SendMessageA(theBar.hwnd(), WM_MOUSEMOVE, 0, MAKELPARAM(x, 8));
        EXPECT_EQ(timers.LastPeriod(theBar.hwnd(), id), 1000u) << id;
    }
    theBar.Destroy();
}

// The system's default route as leaving by the interface table's second row, for the bar made
// while it lives: Wine lists at least two interfaces, the loopback one first.
class RouteThroughSecondRow {
public:
    RouteThroughSecondRow() { theBar.Adapter().UseRouteQuery(SecondRow); }
    ~RouteThroughSecondRow() { theBar.Adapter().UseRouteQuery(DefaultRouteInterface); }

private:
    static std::optional<DWORD> SecondRow() {
        const std::vector<DWORD> table = ReadInterfaceIndexes();
        return table.size() > 1 ? std::optional<DWORD>(table[1]) : std::nullopt;
    }
};

TEST(BarSettings, AdapterPositionComesFromTheRegistry) {
    // The real settings key, in the throwaway test prefix.
    RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Quorvel");
    const RouteThroughSecondRow route;
    ASSERT_TRUE(qv::testing::CreateStartedBar());
    EXPECT_EQ(theBar.Adapter().Position(), 1); // nothing stored: the default route's
    theBar.Destroy();
    const DWORD position = 2;
    RegSetKeyValueA(HKEY_CURRENT_USER, "Software\\Quorvel", "NicAdapter", REG_DWORD, &position,
                    sizeof position);
    ASSERT_TRUE(qv::testing::CreateStartedBar());
    EXPECT_EQ(theBar.Adapter().Position(), 2);
    theBar.Destroy();
    RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Quorvel");
}

} // namespace

namespace {

TEST_F(Bar, AboutCommandGivesTheTitleItsFontAndShowsTheBox) {
    SendMessageA(theBar.hwnd(), WM_COMMAND, ID_ABOUT, 0);
    EXPECT_TRUE(theAboutBox.IsVisible());
    const auto font =
        reinterpret_cast<HFONT>(SendMessageA(theAboutBox.Item(IDC_ABOUT_TITLE), WM_GETFONT, 0, 0));
    LOGFONTA logFont{};
    ASSERT_TRUE(GetObjectA(font, sizeof logFont, &logFont));
    EXPECT_EQ(logFont.lfHeight, 25);
    EXPECT_EQ(logFont.lfWeight, FW_BOLD);
    EXPECT_STREQ(logFont.lfFaceName, "Segoe UI");
    // Showing it again replaces the font without leaking the old one. The second showing still
    // makes what Wine keeps for a window shown and focused again (cached DCs and surfaces), so
    // the count is taken after it.
    SendMessageA(theBar.hwnd(), WM_COMMAND, ID_ABOUT, 0);
    const int objects = qv::testing::GdiObjectCount();
    SendMessageA(theBar.hwnd(), WM_COMMAND, ID_ABOUT, 0);
    EXPECT_EQ(qv::testing::GdiObjectCount(), objects);
}

LRESULT adapterShownInSettings = CB_ERR;

// Closes the settings dialog with the given button once its modal loop runs, noting the adapter
// it showed selected.
void CloseSettingsWith(int button) {
    static int pending;
    pending = button;
    SetTimer(nullptr, 0, 100, [](HWND, UINT, UINT_PTR id, DWORD) {
        KillTimer(nullptr, id);
        adapterShownInSettings =
            SendMessageA(theOptions.Item(IDC_OPTIONS_ADAPTER), CB_GETCURSEL, 0, 0);
        PostMessageA(theOptions.hwnd(), WM_COMMAND, WPARAM(pending), 0);
    });
}

std::optional<DWORD> StoredAdapter() {
    DWORD value = 0;
    DWORD size = sizeof value;
    if (RegGetValueA(HKEY_CURRENT_USER, "Software\\Quorvel", "NicAdapter", RRF_RT_REG_DWORD,
                     nullptr, &value, &size) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    return value;
}

// With nothing stored, Settings shows the adapter the bar watches, and only OK stores it.
TEST(BarSettings, AFirstRunsAdapterIsShownInSettingsAndStoredOnlyAtOk) {
    RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Quorvel");
    const RouteThroughSecondRow route;
    ASSERT_TRUE(qv::testing::CreateStartedBar());
    CloseSettingsWith(IDCANCEL);
    SendMessageA(theBar.hwnd(), WM_COMMAND, ID_SETTINGS, 0);
    EXPECT_EQ(adapterShownInSettings, 1);
    EXPECT_EQ(StoredAdapter(), std::nullopt);
    CloseSettingsWith(IDOK);
    SendMessageA(theBar.hwnd(), WM_COMMAND, ID_SETTINGS, 0);
    EXPECT_EQ(StoredAdapter(), DWORD(1));
    theBar.Destroy();
    RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Quorvel");
    RegDeleteKeyValueA(HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\Run",
                       "Quorvel");
}

TEST_F(Bar, SettingsRereadTheAdapterAndPlaylistOnlyAfterOk) {
    const qv::testing::FileBesideProgram playlist("QVPlaylist.ini");
    playlist.Write("<song>One</song><link>http://a/1.mp3</link>\n");
    // The dialog shows the stored adapter selected and stores it again at OK: Wine lists at least
    // two interfaces.
    const DWORD position = 1;
    RegSetKeyValueA(HKEY_CURRENT_USER, "Software\\Quorvel", "NicAdapter", REG_DWORD, &position,
                    sizeof position);
    const int32_t atStart = theBar.Adapter().Position();
    CloseSettingsWith(IDCANCEL);
    SendMessageA(theBar.hwnd(), WM_COMMAND, ID_SETTINGS, 0);
    EXPECT_EQ(adapterShownInSettings, 1);
    EXPECT_EQ(theBar.Adapter().Position(), atStart);
    EXPECT_EQ(SendMessageA(thePlaylist.NameList().hwnd(), LB_GETCOUNT, 0, 0), 0);
    EXPECT_EQ(theOptions.hwnd(), nullptr) << "the settings window is made anew at each opening";
    EXPECT_TRUE(IsWindowEnabled(theBar.hwnd()));

    CloseSettingsWith(IDOK);
    SendMessageA(theBar.hwnd(), WM_COMMAND, ID_SETTINGS, 0);
    EXPECT_EQ(theBar.Adapter().Position(), 1);
    ASSERT_GE(ReadInterfaceIndexes().size(), 2u);
    EXPECT_EQ(theBar.Adapter().InterfaceIndex(), ReadInterfaceIndexes()[1]);
    EXPECT_EQ(SendMessageA(thePlaylist.NameList().hwnd(), LB_GETCOUNT, 0, 0), 1);
    RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Quorvel");
    RegDeleteKeyValueA(HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\Run",
                       "Quorvel");
}

// The feeds saved by OK take effect through a feed run that starts at once; Cancel starts none.
TEST_F(Bar, SettingsStartAFeedRunOfTheSavedFeedsOnlyAfterOk) {
    const qv::testing::FileBesideProgram feedFile("Rss1.xml");
    qv::testing::LoopbackHttpServer server;
    const std::string feed = "<rss><channel><item><title>Saved</title></item></channel></rss>";
    server.Route("/saved.xml", qv::testing::Reply::Ok(feed));
    ASSERT_TRUE(qv::testing::WaitForFeedRuns(theNews)) << "the bar's first run";
    CloseSettingsWith(IDCANCEL);
    SendMessageA(theBar.hwnd(), WM_COMMAND, ID_SETTINGS, 0);
    EXPECT_FALSE(theNews.FeedRunGoing());

    qv::testing::RunInNextLoop([&server] {
        SetWindowTextA(theOptions.Item(IDC_OPTIONS_FEED1_SOURCE), server.Url("/saved.xml").c_str());
        PostMessageA(theOptions.hwnd(), WM_COMMAND, IDOK, 0);
    });
    SendMessageA(theBar.hwnd(), WM_COMMAND, ID_SETTINGS, 0);
    EXPECT_TRUE(theNews.FeedRunGoing());
    ASSERT_TRUE(qv::testing::WaitForFeedRuns(theNews));
    EXPECT_EQ(server.Requests("/saved.xml"), 1);
    EXPECT_EQ(feedFile.Read(), feed);
    RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Quorvel");
    RegDeleteKeyValueA(HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\Run",
                       "Quorvel");
}

// A feed title typed in Japanese in Settings is kept through the registry to its news tab,
// which shows its first six characters.
TEST_F(Bar, AFeedTitleTypedInJapaneseInSettingsShowsOnItsTab) {
    const qv::testing::FileBesideProgram playlist("QVPlaylist.ini");
    ASSERT_TRUE(qv::testing::WaitForFeedRuns(theNews)) << "the bar's first run";
    qv::testing::RunInNextLoop([] {
        const HWND title = theOptions.Item(IDC_OPTIONS_FEED1_TITLE);
        SetFocus(title);
        for (const wchar_t key : std::wstring_view(L"ニュース速報です")) {
            PostMessageW(title, WM_CHAR, WPARAM(key), 1); // through the dialog's own loop
        }
        CloseSettingsWith(IDOK);
    });
    SendMessageA(theBar.hwnd(), WM_COMMAND, ID_SETTINGS, 0);
    ASSERT_TRUE(qv::testing::WaitForFeedRuns(theNews));
    EXPECT_EQ(theNews.TabTitles()[0], L"ニュース速報");
    RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Quorvel");
    RegDeleteKeyValueA(HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\Run",
                       "Quorvel");
}

} // namespace
