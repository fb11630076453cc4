#include "app/quorvel_dlg.h"

#include <gtest/gtest.h>

#include "app/singletons.h"
#include "monitor/balloon_layout.h"
#include "media/media_wintest_support.h"
#include "monitor/test_support.h"
#include "testing/scratch_registry.h"

namespace {

using namespace qv;

int BalloonAlpha() {
    return qv::testing::LayeredAlpha(theBalloon.hwnd());
}

bool BarTimerRunning(UINT_PTR id) {
    return qv::testing::TimerRunning(theBar.hwnd(), id);
}

int RunningSectionTimer() {
    for (const InfoSection section : kInfoSections) {
        if (BarTimerRunning(SectionTimerId(section))) {
            return int(section);
        }
    }
    return 0;
}

class BarPointer : public qv::testing::BarTest {
protected:
    void Send(UINT message, int x, int y, UINT flags = 0) const {
        SendMessageA(theBar.hwnd(), message, flags, MAKELPARAM(x, y));
    }
    void Move(int x, int y, UINT flags = 0) const { Send(WM_MOUSEMOVE, x, y, flags); }

    // Which highlight images show, in the order news, play, player, web search, video search.
    std::vector<bool> Highlights() const {
        const auto shown = [](int id) { return IsWindowVisible(theBar.Item(id)) != FALSE; };
        return {shown(IDC_BAR_NEWS_HOVER), shown(IDC_BAR_PLAY_HOVER), shown(IDC_BAR_PLAYER_HOVER),
                shown(IDC_BAR_WEB_SEARCH_HOVER), shown(IDC_BAR_VIDEO_SEARCH_HOVER)};
    }
};

TEST_F(BarPointer, MovingAlongTheBarLightsEachItemInTurn) {
    struct Stop {
        int x;
        std::vector<bool> highlights;
        int section; // whose balloon is up and repainting, 0 for none
    };
    const std::vector<bool> none(5, false);
    const std::vector<Stop> stops{
        {5, {true, false, false, false, false}, 0},
        {13, none, 0},
        {20, {false, true, false, false, false}, int(InfoSection::Media)},
        {31, none, 0},
        {40, {false, false, true, false, false}, 0},
        {47, none, 0},
        {60, none, int(InfoSection::Processor)},
        {76, none, 0},
        {100, none, int(InfoSection::Memory)},
        {117, none, 0},
        {140, none, int(InfoSection::Network)},
        {180, none, 0},
        {210, {false, false, false, true, false}, 0},
        {217, none, 0},
        {225, {false, false, false, false, true}, 0},
    };
    for (const Stop& stop : stops) {
        Move(stop.x, 8);
        EXPECT_EQ(Highlights(), stop.highlights) << stop.x;
        EXPECT_EQ(RunningSectionTimer(), stop.section) << stop.x;
        if (stop.section != 0) {
            EXPECT_EQ(qv::testing::ScreenRect(theBalloon.hwnd()),
                      BalloonRect(InfoSection(stop.section), screenWidth, false));
            EXPECT_TRUE(theBalloon.IsVisible());
        }
    }
}

TEST_F(BarPointer, ActingOnAZoneLeavesOtherHighlightsAlone) {
    Move(5, 8);
    Move(225, 8);
    EXPECT_EQ(Highlights(), (std::vector<bool>{true, false, false, false, true}));
    Move(5, 14); // below the icon rows
    EXPECT_EQ(Highlights(), std::vector<bool>(5, false));
}

TEST_F(BarPointer, MovesWithAButtonOrModifierHeldChangeNothing) {
    for (UINT flags : {UINT(MK_SHIFT), UINT(MK_CONTROL), UINT(MK_LBUTTON), UINT(MK_RBUTTON)}) {
        Move(60, 8, flags);
        Move(5, 8, flags);
        EXPECT_FALSE(theBalloon.IsVisible()) << flags;
        EXPECT_EQ(Highlights(), std::vector<bool>(5, false)) << flags;
        EXPECT_EQ(RunningSectionTimer(), 0) << flags;
    }
}

TEST_F(BarPointer, PressingRemovesTheHighlightUntilRelease) {
    Move(40, 8);
    Move(210, 8);
    Send(WM_LBUTTONDOWN, 210, 8, MK_LBUTTON);
    EXPECT_EQ(Highlights(), std::vector<bool>(5, false));
    Send(WM_LBUTTONUP, 210, 8);
    EXPECT_TRUE(IsWindowVisible(theBar.Item(IDC_BAR_WEB_SEARCH_HOVER)));
}

TEST_F(BarPointer, ReleaseOnACellRunsTheHoverStep) {
    Send(WM_LBUTTONUP, 100, 8);
    EXPECT_EQ(RunningSectionTimer(), int(InfoSection::Memory));
    EXPECT_EQ(qv::testing::ScreenRect(theBalloon.hwnd()),
              BalloonRect(InfoSection::Memory, screenWidth, false));
}

TEST_F(BarPointer, LeavingTheCellsFadesTheBalloonOut) {
    Move(60, 8);
    qv::testing::PumpMessagesUntil([] { return BalloonAlpha() == 230; });
    EXPECT_EQ(BalloonAlpha(), 230);
    Move(60, 13);
    qv::testing::PumpMessagesUntil([] { return BalloonAlpha() == 0; });
    EXPECT_EQ(BalloonAlpha(), 0);
    EXPECT_EQ(RunningSectionTimer(), 0);
    // Faded out, not hidden: the next hover shows it again from there.
    EXPECT_TRUE(theBalloon.IsVisible());
}

// The whole value-cell strip, x 48 to 200 and y 1 to 17, opens and closes the playlist panel;
// a release just outside it leaves the panel where it is.
TEST_F(BarPointer, ValueCellClicksToggleThePlaylistAtTheStripsEdges) {
    // The slide is given the time it takes, and a release that must not move the panel is
    // given a while to show that it does not.
    const auto panelTopAfterRelease = [this](int x, int y, int expectedTop) {
        Send(WM_LBUTTONUP, x, y);
        qv::testing::PumpMessagesFor(300);
        qv::testing::PumpMessagesUntil(
            [&] { return qv::testing::ScreenRect(thePlaylist.hwnd()).y == expectedTop; });
        return qv::testing::ScreenRect(thePlaylist.hwnd()).y;
    };
    EXPECT_EQ(panelTopAfterRelease(47, 1, -200), -200);
    EXPECT_EQ(panelTopAfterRelease(48, 1, 18), 18);
    EXPECT_EQ(qv::testing::ScreenRect(thePlaylist.hwnd()).x, screenWidth - 350 + 16);
    EXPECT_EQ(panelTopAfterRelease(201, 17, 18), 18);
    EXPECT_EQ(panelTopAfterRelease(200, 17, -200), -200);
    EXPECT_EQ(panelTopAfterRelease(120, 0, -200), -200);
    EXPECT_EQ(panelTopAfterRelease(120, 18, -200), -200);
}

// A release on the play button, x 16 to 28 and y 1 to 17, starts the selected row with the
// player its link asks for, and the next one stops it.
TEST_F(BarPointer, PlayButtonClicksStartAndStopAtItsEdges) {
    const qv::testing::FileBesideProgram playlist("QVPlaylist.ini");
    playlist.Write("<song>Talk</song><link>rtsp://radio/talk.rm</link>\n");
    const qv::testing::FileBesideProgram page("ut.html");
    thePlaylist.LoadPlaylist();
    Send(WM_LBUTTONUP, 15, 8);
    EXPECT_FALSE(thePlaylist.Playback().isPlaying);
    Send(WM_LBUTTONUP, 16, 1);
    ASSERT_TRUE(thePlaylist.Playback().isPlaying);
    EXPECT_NE(page.Read().find("CLASSID=\"clsid:CFCDAA03-8BE4-11cf-B84B-0020AFBBCCFA\""),
              std::string::npos);
    Send(WM_LBUTTONUP, 29, 17);
    EXPECT_TRUE(thePlaylist.Playback().isPlaying);
    Send(WM_LBUTTONUP, 28, 17);
    EXPECT_FALSE(thePlaylist.Playback().isPlaying);
}

} // namespace
