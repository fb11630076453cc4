#include "media/playlist_dlg.h"

#include <gtest/gtest.h>

#include <vector>

#include "app/bar_wintest_support.h"
#include "app/singletons.h"
#include "framework/list_rows.h"
#include "media/media_layout.h"
#include "media/media_wintest_support.h"
#include "media/slide_steps.h"
#include "testing/message_box_watch.h"
#include "testing/scratch_registry.h"

namespace {

using namespace qv;
using namespace qv::testing;

class PlaylistPanel : public ::testing::Test {
protected:
    void SetUp() override {
        playlist.Write("<song>Morning</song><link>http://r/a.wmv</link>\n"
                       "<song>  </song><link>rtsp://r/b.rm</link>\n"
                       "<song>Evening</song><link>http://r/c.asx</link>\n");
        ASSERT_TRUE(qv::testing::CreateStartedBar());
        barLeft = ScreenRect(theBar.hwnd()).x;
    }
    void TearDown() override { theBar.Destroy(); }

    // Runs the panel's timer by hand until it settles; notes each top and alpha.
    std::vector<std::pair<int, int>> Slide(UINT_PTR timer, int ticks) {
        std::vector<std::pair<int, int>> steps;
        for (int i = 0; i < ticks; ++i) {
            SendMessageA(thePlaylist.hwnd(), WM_TIMER, timer, 0);
            steps.emplace_back(ScreenRect(thePlaylist.hwnd()).y, LayeredAlpha(thePlaylist.hwnd()));
        }
        return steps;
    }

    void SelectName(int row) {
        SelectRow(thePlaylist.NameList(), row);
        SendMessageA(thePlaylist.hwnd(), WM_COMMAND, MAKEWPARAM(IDC_PLAYLIST_NAMES, LBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(thePlaylist.NameList().hwnd()));
    }

    FileBesideProgram playlist{"QVPlaylist.ini"};
    FileBesideProgram page{"ut.html"};
    int barLeft = 0;
};

TEST_F(PlaylistPanel, ListsThePlaylistNumberedWithItsLinksAndFirstRowSelected) {
    EXPECT_EQ(Rows(thePlaylist.NameList()),
              (std::vector<std::string>{"1. Morning", "2. ", "3. Evening"}));
    EXPECT_EQ(Rows(thePlaylist.LinkList()),
              (std::vector<std::string>{"http://r/a.wmv", "rtsp://r/b.rm", "http://r/c.asx"}));
    EXPECT_EQ(SelectedRow(thePlaylist.NameList()), 0);
    EXPECT_FALSE(thePlaylist.Playback().isPlaying); // filling plays nothing

    // A borderless pop-up skinned by its picture, with lists that keep the file's order.
    const HWND panel = thePlaylist.hwnd();
    EXPECT_TRUE(HasStyle(panel, WS_POPUP));
    EXPECT_FALSE(HasAnyStyle(panel, WS_CAPTION | WS_BORDER | WS_THICKFRAME | WS_DLGFRAME));
    const HWND skin = GetWindow(panel, GW_CHILD);
    EXPECT_EQ(RectInParent(skin), (PixelRect{0, 0, 186, 192}));
    EXPECT_NE(SendMessageA(skin, STM_GETIMAGE, IMAGE_BITMAP, 0), 0);
    const HWND names = thePlaylist.NameList().hwnd();
    const HWND results = thePlaylist.ResultList().hwnd();
    // (A list drops its scroll-bar styles while it has nothing to scroll.)
    EXPECT_TRUE(HasStyle(names, LBS_NOTIFY | LBS_NOINTEGRALHEIGHT));
    EXPECT_FALSE(HasAnyStyle(names, WS_BORDER));
    EXPECT_FALSE(GetWindowLongPtrA(names, GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
    EXPECT_TRUE(HasStyle(results, LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_TABSTOP));
    for (const HWND list :
         {names, thePlaylist.LinkList().hwnd(), results, thePlaylist.ResultLinkList().hwnd()}) {
        EXPECT_FALSE(HasAnyStyle(list, LBS_SORT | LBS_MULTIPLESEL | LBS_EXTENDEDSEL));
    }
    EXPECT_FALSE(thePlaylist.LinkList().IsVisible());
    EXPECT_FALSE(thePlaylist.ResultLinkList().IsVisible());
    EXPECT_FALSE(IsWindowVisible(thePlaylist.Item(IDOK)));
    const HWND query = thePlaylist.QueryBox().hwnd();
    EXPECT_TRUE(HasStyle(query, ES_AUTOHSCROLL | WS_TABSTOP));
    EXPECT_FALSE(HasAnyStyle(query, WS_BORDER | ES_MULTILINE));
    EXPECT_FALSE(GetWindowLongPtrA(query, GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
    LOGFONTA font{};
    GetObjectA(HFONT(SendMessageA(panel, WM_GETFONT, 0, 0)), sizeof font, &font);
    EXPECT_STREQ(font.lfFaceName, "Segoe UI");
}

// Each chosen row plays through the player its link's ending asks for; the arrow keys choose
// rows as a click does, each one played as it is reached.
TEST_F(PlaylistPanel, ChoosingARowPlaysItWithThePlayerItsLinkAsksFor) {
    const auto press = [](UINT key) {
        SendMessageA(thePlaylist.NameList().hwnd(), WM_KEYDOWN, key, 0);
        SendMessageA(thePlaylist.NameList().hwnd(), WM_KEYUP, key, 0);
    };
    press(VK_DOWN);
    EXPECT_EQ(thePlaylist.Playback().title, "2. ");
    EXPECT_NE(page.Read().find("clsid:CFCDAA03-8BE4-11cf-B84B-0020AFBBCCFA"), std::string::npos)
        << "rtsp://r/b.rm plays as RealMedia";
    EXPECT_NE(page.Read().find("<EMBED SRC=\"rtsp://r/b.rm\""), std::string::npos);
    press(VK_UP);
    EXPECT_NE(page.Read().find("CLSID:6BF52A52-394A-11d3-B153-00C04F79FAA6"), std::string::npos)
        << "http://r/a.wmv plays as Windows Media";
    EXPECT_EQ(thePlaylist.Playback().title, "1. Morning");
}

TEST_F(PlaylistPanel, RefillingFollowsTheFileAndAnErrorKeepsTheRows) {
    playlist.Write("");
    thePlaylist.LoadPlaylist();
    EXPECT_EQ(RowCount(thePlaylist.NameList()), 0);
    EXPECT_EQ(SelectedRow(thePlaylist.NameList()), -1);
    playlist.Write("<song>Only</song><link>o</link>");
    thePlaylist.LoadPlaylist();
    EXPECT_EQ(Rows(thePlaylist.NameList()), (std::vector<std::string>{"1. Only"}));
    EXPECT_EQ(Rows(thePlaylist.LinkList()), (std::vector<std::string>{"o"}));

    FileBesideProgram blocked{"QVPlaylist.ini"};
    blocked.BlockWithDirectory();
    qv::testing::MessageBoxWatch boxes;
    thePlaylist.LoadPlaylist();
    EXPECT_FALSE(boxes.Texts().empty());
    EXPECT_EQ(Rows(thePlaylist.NameList()), (std::vector<std::string>{"1. Only"}));
}

TEST_F(PlaylistPanel, MenuCommandSlidesItDownFadingInAndBackUp) {
    SendMessageA(theBar.hwnd(), WM_COMMAND, ID_TOGGLE_PLAYLIST, 0);
    EXPECT_EQ(theBar.BarLeft(), barLeft);
    EXPECT_EQ(thePlaylist.SlideX(), barLeft + 16);
    EXPECT_TRUE(GetWindowLongA(thePlaylist.hwnd(), GWL_EXSTYLE) & WS_EX_TOPMOST);
    const std::vector<std::pair<int, int>> opening{{-165, 35}, {-130, 70}, {-95, 105}, {-60, 140},
                                                   {-25, 175}, {10, 210},  {45, 245}};
    EXPECT_EQ(Slide(SlideInTimer, 7), opening);
    EXPECT_EQ(LayeredKeying(thePlaylist.hwnd()), kGreenKeyAndAlpha); // green stays see-through
    // The settling tick paints the panel at once in its place.
    InvalidateRect(thePlaylist.hwnd(), nullptr, TRUE);
    EXPECT_EQ(Slide(SlideInTimer, 1), (std::vector<std::pair<int, int>>{{18, 245}}));
    EXPECT_FALSE(WaitsForPaint(thePlaylist.hwnd()));
    EXPECT_EQ(ScreenRect(thePlaylist.hwnd()), (PixelRect{barLeft + 16, 18, 186, 192}));

    // The mode's layout is painted at once too, before the close's first tick.
    InvalidateRect(thePlaylist.hwnd(), nullptr, TRUE);
    SendMessageA(theBar.hwnd(), WM_COMMAND, ID_TOGGLE_PLAYLIST, 0);
    EXPECT_FALSE(WaitsForPaint(thePlaylist.hwnd()));
    std::vector<int> tops, alphas;
    for (const auto& [top, alpha] : Slide(SlideOutTimer, 10)) {
        tops.push_back(top);
        alphas.push_back(alpha);
    }
    EXPECT_EQ(tops, (std::vector<int>{65, 30, -5, -40, -75, -110, -145, -180, -215, -200}));
    EXPECT_EQ(alphas, (std::vector<int>{195, 145, 95, 45, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(LayeredKeying(thePlaylist.hwnd()), kGreenKeyAndAlpha);
    EXPECT_TRUE(thePlaylist.IsParked());
}

TEST_F(PlaylistPanel, OpensByItsOwnTimersToo) {
    theBar.ShowHidePlaylist();
    qv::testing::PumpMessagesUntil([] {
        return ScreenRect(thePlaylist.hwnd()).y == 18 && LayeredAlpha(thePlaylist.hwnd()) == 245;
    });
    EXPECT_EQ(ScreenRect(thePlaylist.hwnd()).y, 18);
    EXPECT_EQ(LayeredAlpha(thePlaylist.hwnd()), 245);
}

TEST_F(PlaylistPanel, AToggleWhileOpeningTurnsIntoACloseFromOneHundred) {
    theBar.ShowHidePlaylist();
    Slide(SlideInTimer, 3);
    theBar.ShowHidePlaylist();
    EXPECT_EQ(thePlaylist.SlideY(), 100);
    SetTimer(thePlaylist.hwnd(), SlideInTimer, 1000, nullptr); // armed again, as by a stray start
    EXPECT_EQ(Slide(SlideOutTimer, 1)[0].first, 65);
    EXPECT_FALSE(KillTimer(thePlaylist.hwnd(), SlideInTimer)); // each step stops the other slide
    SetTimer(thePlaylist.hwnd(), SlideOutTimer, 1000, nullptr);
    Slide(SlideInTimer, 1);
    EXPECT_FALSE(KillTimer(thePlaylist.hwnd(), SlideOutTimer));
}

TEST_F(PlaylistPanel, ASelectionWhileOpeningClosesFromWhereItIs) {
    theBar.ShowHidePlaylist();
    Slide(SlideInTimer, 3); // top -95
    SelectName(2);
    EXPECT_TRUE(thePlaylist.Playback().isPlaying);
    // The bar's play button rests at once as the stop image.
    EXPECT_TRUE(IsWindowVisible(theBar.Item(IDC_BAR_STOP)));
    EXPECT_FALSE(IsWindowVisible(theBar.Item(IDC_BAR_PLAY_HOVER)));
    EXPECT_EQ(thePlaylist.SlideY(), -95); // the close rises from where the panel is
    // The opening's timer is still set; the close must win over it all the same.
    qv::testing::PumpMessagesUntil([] { return thePlaylist.IsParked(); });
    EXPECT_TRUE(thePlaylist.IsParked());
    EXPECT_EQ(thePlaylist.Playback().title, "3. Evening");
}

// Search mode readies the query to be typed over: focused, all of it selected, its end in view.
TEST_F(PlaylistPanel, ModeLayoutsPlaceTheirControlsAndParkTheOthers) {
    const std::string query = "a query far longer than the box is wide, so it scrolls";
    const HWND queryBox = thePlaylist.QueryBox().hwnd();
    thePlaylist.QueryBox().SetText(query.c_str());
    theBar.ClickVideoSearch();
    const PixelRect parked{400, 400, 1, 1};
    EXPECT_EQ(RectInParent(thePlaylist.ResultList().hwnd()), (PixelRect{7, 6, 172, 149}));
    EXPECT_EQ(RectInParent(queryBox), (PixelRect{47, 161, 104, 16}));
    EXPECT_EQ(RectInParent(thePlaylist.NameList().hwnd()), parked);
    EXPECT_EQ(GetFocus(), queryBox);
    DWORD from = 1, to = 0;
    SendMessageA(queryBox, EM_GETSEL, WPARAM(&from), LPARAM(&to));
    EXPECT_EQ(from, 0u);
    EXPECT_EQ(to, query.size());
    EXPECT_GT(SendMessageA(queryBox, EM_GETFIRSTVISIBLELINE, 0, 0), 0);

    theBar.ShowHidePlaylist();
    EXPECT_EQ(RectInParent(thePlaylist.NameList().hwnd()), (PixelRect{7, 6, 172, 175}));
    EXPECT_EQ(RectInParent(thePlaylist.ResultList().hwnd()), parked);
    EXPECT_EQ(RectInParent(queryBox), parked);
}

TEST_F(PlaylistPanel, VideoSearchIconSwitchesAnOpenPanelToSearchModeAtOnce) {
    theBar.ShowHidePlaylist();
    Slide(SlideInTimer, 8);
    theBar.ClickVideoSearch(); // parks it, then opens it afresh in search mode
    EXPECT_TRUE(thePlaylist.InSearchMode());
    EXPECT_EQ(thePlaylist.SlideY(), -200);
    EXPECT_EQ(Slide(SlideInTimer, 1)[0].first, -165);
    Slide(SlideInTimer, 7);
    theBar.ClickVideoSearch(); // same mode: a close
    EXPECT_EQ(thePlaylist.SlideY(), 100);
    theBar.ShowHidePlaylist(); // back to the playlist, opened afresh
    EXPECT_FALSE(thePlaylist.InSearchMode());
    EXPECT_EQ(thePlaylist.SlideY(), -200);
}

TEST_F(PlaylistPanel, EscapeHidesItWhereItIsAndEnterAsksForTheFirstResultsPage) {
    theBar.ShowHidePlaylist();
    Slide(SlideInTimer, 8);
    SendMessageA(thePlaylist.hwnd(), WM_COMMAND, IDCANCEL, 0);
    EXPECT_FALSE(thePlaylist.IsVisible());
    EXPECT_EQ(ScreenRect(thePlaylist.hwnd()).y, 18);
    theBar.ShowHidePlaylist(); // not parked: an invisible close
    EXPECT_EQ(thePlaylist.SlideY(), 100);
    EXPECT_FALSE(thePlaylist.IsVisible());
    theBar.ClickVideoSearch(); // another mode: parked, then shown as it opens
    EXPECT_TRUE(thePlaylist.IsVisible());
    EXPECT_EQ(thePlaylist.SlideY(), -200);

    for (int i = 0; i < 2; ++i) { // next page, twice: past the first page
        SendMessageA(thePlaylist.hwnd(), WM_LBUTTONUP, 0, MAKELPARAM(20, 170));
    }
    ASSERT_GE(thePlaylist.SearchPage(), 2);
    SendMessageA(thePlaylist.hwnd(), WM_COMMAND, IDOK, 0);
    EXPECT_EQ(thePlaylist.SearchPage(), 1);
}

TEST_F(PlaylistPanel, SearchAndNextPageZonesSetThePageToRequest) {
    auto release = [](int x, int y) {
        SendMessageA(thePlaylist.hwnd(), WM_LBUTTONUP, 0, MAKELPARAM(x, y));
    };
    // The panel outlives each test: the page goes on from wherever the last one left it.
    const int before = thePlaylist.SearchPage();
    release(20, 170);
    EXPECT_EQ(thePlaylist.SearchPage(), before + 1);
    release(38, 175);
    EXPECT_EQ(thePlaylist.SearchPage(), before + 2);
    release(160, 170);
    EXPECT_EQ(thePlaylist.SearchPage(), 1);
    release(100, 170);
    EXPECT_EQ(thePlaylist.SearchPage(), 1);

    // The hand shows over both buttons, up to their edges, and nowhere else; a move with a key
    // or button down leaves the pointer alone.
    const HWND panel = thePlaylist.hwnd();
    for (const auto& [x, y] : {std::pair{158, 161}, {175, 178}, {12, 161}, {38, 175}}) {
        EXPECT_TRUE(HandAfter(panel, WM_MOUSEMOVE, x, y)) << x << "," << y;
    }
    for (const auto& [x, y] : {std::pair{157, 170},
                               {176, 170},
                               {165, 160},
                               {165, 179},
                               {11, 170},
                               {39, 170},
                               {25, 176},
                               {100, 170}}) {
        EXPECT_FALSE(HandAfter(panel, WM_MOUSEMOVE, x, y)) << x << "," << y;
    }
    EXPECT_FALSE(HandAfter(panel, WM_MOUSEMOVE, 165, 170, MK_SHIFT));
    EXPECT_FALSE(HandAfter(panel, WM_MOUSEMOVE, 165, 170, MK_LBUTTON));
    EXPECT_TRUE(HandAfter(panel, WM_LBUTTONDOWN, 165, 170, MK_LBUTTON));
    EXPECT_TRUE(HandAfter(panel, WM_LBUTTONUP, 25, 170)); // a search of nothing: no request
}

} // namespace
