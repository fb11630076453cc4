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
    EXPECT_FALSE(thePlaylist.LinkList().IsVisible());
}

// Each chosen row plays through the player its link's ending asks for.
TEST_F(PlaylistPanel, ChoosingARowPlaysItWithThePlayerItsLinkAsksFor) {
    SelectName(1);
    EXPECT_NE(page.Read().find("clsid:CFCDAA03-8BE4-11cf-B84B-0020AFBBCCFA"), std::string::npos)
        << "rtsp://r/b.rm plays as RealMedia";
    EXPECT_NE(page.Read().find("<EMBED SRC=\"rtsp://r/b.rm\""), std::string::npos);
    SelectName(0);
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
                                                   {-25, 175}, {10, 210},  {45, 245},  {18, 245}};
    EXPECT_EQ(Slide(SlideInTimer, 8), opening);
    EXPECT_EQ(ScreenRect(thePlaylist.hwnd()), (PixelRect{barLeft + 16, 18, 186, 192}));

    SendMessageA(theBar.hwnd(), WM_COMMAND, ID_TOGGLE_PLAYLIST, 0);
    std::vector<int> tops;
    for (const auto& [top, alpha] : Slide(SlideOutTimer, 10)) {
        tops.push_back(top);
    }
    EXPECT_EQ(tops, (std::vector<int>{65, 30, -5, -40, -75, -110, -145, -180, -215, -200}));
    EXPECT_EQ(LayeredAlpha(thePlaylist.hwnd()), 0);
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
    EXPECT_EQ(Slide(SlideOutTimer, 1)[0].first, 65);
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

TEST_F(PlaylistPanel, ModeLayoutsPlaceTheirControlsAndParkTheOthers) {
    thePlaylist.ChooseMode(true);
    thePlaylist.ApplyModeLayout();
    EXPECT_EQ(RectInParent(thePlaylist.ResultList().hwnd()), kResultListRect);
    EXPECT_EQ(RectInParent(thePlaylist.QueryBox().hwnd()), kQueryBoxRect);
    EXPECT_EQ(RectInParent(thePlaylist.NameList().hwnd()), kParkedControlRect);
    thePlaylist.ChooseMode(false);
    thePlaylist.ApplyModeLayout();
    EXPECT_EQ(RectInParent(thePlaylist.NameList().hwnd()), kNameListRect);
    EXPECT_EQ(RectInParent(thePlaylist.ResultList().hwnd()), kParkedControlRect);
    EXPECT_EQ(RectInParent(thePlaylist.QueryBox().hwnd()), kParkedControlRect);
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
    release(20, 170); // next page before any search
    EXPECT_EQ(thePlaylist.SearchPage(), 1);
    release(38, 175);
    EXPECT_EQ(thePlaylist.SearchPage(), 2);
    release(160, 170);
    EXPECT_EQ(thePlaylist.SearchPage(), 1);
    release(100, 170);
    EXPECT_EQ(thePlaylist.SearchPage(), 1);
}

} // namespace
