#include "app/quorvel_dlg.h"

#include <gtest/gtest.h>

#include <functional>
#include <span>
#include <utility>

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

// A zone of the bar in its pixels, and whether the bar shows that the zone answered.
struct ProbedZone {
    const char* name;
    int left, right, top, bottom;
    std::function<bool()> answered;
};

// Acts on each zone at its first and last pixels, which must answer, and one pixel outside each
// of its four edges, which must not.
void ProbeEdges(std::span<const ProbedZone> zones, const std::function<void(POINT)>& act) {
    for (const ProbedZone& zone : zones) {
        const int midX = (zone.left + zone.right) / 2;
        const int midY = (zone.top + zone.bottom) / 2;
        const std::pair<POINT, bool> probes[] = {
            {{zone.left, zone.top}, true},  {{zone.right, zone.bottom}, true},
            {{zone.left - 1, midY}, false}, {{zone.right + 1, midY}, false},
            {{midX, zone.top - 1}, false},  {{midX, zone.bottom + 1}, false}};
        for (const auto& [point, inside] : probes) {
            act(point);
            EXPECT_EQ(zone.answered(), inside) << zone.name << " " << point.x << "," << point.y;
        }
    }
}

// Every hover zone answers at its first and last pixels and not one pixel outside any of its
// four edges: (0, 0), in no zone, puts the bar at rest before each probe.
TEST_F(BarPointer, HoverZonesAnswerAtTheirEdgesFromBothSides) {
    const auto shown = [](int id) {
        return [id] { return IsWindowVisible(theBar.Item(id)) != FALSE; };
    };
    const auto section = [](InfoSection s) {
        return [s] { return RunningSectionTimer() == int(s); };
    };
    const ProbedZone zones[] = {
        {"news", 1, 10, 3, 12, shown(IDC_BAR_NEWS_HOVER)},
        {"play", 16, 28, 3, 12,
         [] {
             return IsWindowVisible(theBar.Item(IDC_BAR_PLAY_HOVER)) &&
                    RunningSectionTimer() == int(InfoSection::Media);
         }},
        {"player", 35, 44, 3, 12, shown(IDC_BAR_PLAYER_HOVER)},
        {"cpu", 53, 73, 3, 12, section(InfoSection::Processor)},
        {"memory", 80, 113, 3, 12, section(InfoSection::Memory)},
        {"network", 121, 159, 3, 12, section(InfoSection::Network)},
        {"web search", 205, 214, 3, 12, shown(IDC_BAR_WEB_SEARCH_HOVER)},
        {"video search", 219, 232, 3, 12, shown(IDC_BAR_VIDEO_SEARCH_HOVER)},
    };
    ProbeEdges(zones, [this](POINT point) {
        Move(0, 0);
        Move(point.x, point.y);
    });
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

// The news icon, the video-search icon and, while something plays, the player icon answer a
// release at their first and last pixels and not one pixel outside any of their four edges. A
// panel's opening is seen by its slide timer, stopped again before it moves the panel.
TEST_F(BarPointer, ClickZonesAnswerAtTheirEdgesFromBothSides) {
    const qv::testing::FileBesideProgram playlist("QVPlaylist.ini");
    playlist.Write("<song>Talk</song><link>http://radio/talk.asx</link>\n");
    const qv::testing::FileBesideProgram page("ut.html");
    thePlaylist.LoadPlaylist();
    Send(WM_LBUTTONUP, 20, 8);
    ASSERT_TRUE(thePlaylist.Playback().isPlaying);
    bool pinned = thePlaylist.Playback().playerPinned;
    const ProbedZone zones[] = {
        {"news", 1, 10, 1, 17, [] { return KillTimer(theNews.hwnd(), 10) != FALSE; }},
        {"video search", 220, 233, 3, 12,
         [] { return KillTimer(thePlaylist.hwnd(), 10) != FALSE && thePlaylist.InSearchMode(); }},
        {"player", 35, 44, 3, 12,
         [&pinned] {
             const bool before = std::exchange(pinned, thePlaylist.Playback().playerPinned);
             return before != pinned;
         }},
    };
    ProbeEdges(zones, [this](POINT point) { Send(WM_LBUTTONUP, point.x, point.y); });
    EXPECT_EQ(qv::testing::ScreenRect(theNews.hwnd()).y, -490);
    EXPECT_EQ(qv::testing::ScreenRect(thePlaylist.hwnd()).y, -200);
    thePlaylist.StopPlayback();
}

// A release on the play button, x 16 to 28 and y 1 to 17, starts the selected row with the
// player its link asks for, and the next one stops it.
TEST_F(BarPointer, PlayButtonClicksStartAndStopAtItsEdges) {
    const qv::testing::FileBesideProgram playlist("QVPlaylist.ini");
    playlist.Write("<song>Talk</song><link>rtsp://radio/talk.rm</link>\n");
    const qv::testing::FileBesideProgram page("ut.html");
    thePlaylist.LoadPlaylist();
    for (const auto& [x, y] : {std::pair{15, 8}, {29, 8}, {20, 0}, {20, 18}}) {
        Send(WM_LBUTTONUP, x, y);
        EXPECT_FALSE(thePlaylist.Playback().isPlaying) << x << "," << y;
    }
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
