#include <gtest/gtest.h>

#include "app/bar_wintest_support.h"
#include "app/singletons.h"
#include "framework/list_rows.h"
#include "media/media_wintest_support.h"
#include "monitor/test_support.h"
#include "testing/text_pixels.h"
#include "testing/scratch_registry.h"

namespace {

using namespace qv;
using namespace qv::testing;

// The player frame's opacity once its fade has run: a fade is given the time it takes, and a
// step that must not fade is given a while to show that it does not.
int FrameAlphaAfterFade(int expected) {
    PumpMessagesFor(200);
    PumpMessagesUntil([expected] { return LayeredAlpha(thePlayerFrame.hwnd()) == expected; });
    return LayeredAlpha(thePlayerFrame.hwnd());
}

class BarMedia : public ::testing::Test {
protected:
    void SetUp() override {
        playlist.Write("<song>Jazz</song><link>http://radio/jazz.ram</link>\n");
        ASSERT_TRUE(qv::testing::CreateStartedBar());
    }
    void TearDown() override { theBar.Destroy(); }

    // Which of the three play-button images show: highlighted play, stop, highlighted stop.
    std::tuple<bool, bool, bool> PlayButton() const {
        return {IsWindowVisible(theBar.Item(IDC_BAR_PLAY_HOVER)),
                IsWindowVisible(theBar.Item(IDC_BAR_STOP)),
                IsWindowVisible(theBar.Item(IDC_BAR_STOP_HOVER))};
    }

    void Send(UINT message, int x, int y) const {
        SendMessageA(theBar.hwnd(), message, 0, MAKELPARAM(x, y));
    }

    FileBesideProgram playlist{"QVPlaylist.ini"};
    FileBesideProgram page{"ut.html"};
};

TEST_F(BarMedia, PlayButtonHoverAndRestFollowThePlayingState) {
    theBar.UpdatePlayButtonHover();
    EXPECT_EQ(PlayButton(), std::make_tuple(true, false, false));
    theBar.RestPlayButton();
    EXPECT_EQ(PlayButton(), std::make_tuple(false, false, false));
    thePlaylist.StartPlayback(PlayerVariant::WindowsMedia); // the selected row
    theBar.UpdatePlayButtonHover();
    EXPECT_EQ(PlayButton(), std::make_tuple(false, false, true));
    theBar.RestPlayButton();
    EXPECT_EQ(PlayButton(), std::make_tuple(false, true, false));
}

TEST_F(BarMedia, PlayButtonStartsTheSelectedRowAndStopsIt) {
    theBar.ClickPlayButton();
    EXPECT_TRUE(thePlaylist.Playback().isPlaying);
    EXPECT_NE(page.Read().find("<EMBED SRC=\"http://radio/jazz.ram\""), std::string::npos);
    EXPECT_EQ(PlayButton(), std::make_tuple(false, false, true));

    theBar.ClickPlayButton();
    EXPECT_FALSE(thePlaylist.Playback().isPlaying);
    EXPECT_EQ(thePlayerBrowser.Browser().Navigations().back(), "about:blank");
    theBar.RestPlayButton(); // the pointer leaves: the skin's own play image shows
    EXPECT_EQ(PlayButton(), std::make_tuple(false, false, false));
}

TEST_F(BarMedia, PlayerIconOnlyHighlightsWhileNothingPlays) {
    theBar.ClickPlayerIcon();
    theBar.HoverPlayerIcon();
    EXPECT_TRUE(IsWindowVisible(theBar.Item(IDC_BAR_PLAYER_HOVER)));
    EXPECT_FALSE(thePlaylist.Playback().playerPinned);
    EXPECT_EQ(FrameAlphaAfterFade(0), 0);
}

// Through the pointer: a release on the player icon (x 40) pins and unpins, a hover there fades
// an unpinned player in, and a move into the gap beside it (x 47) fades it out again.
TEST_F(BarMedia, PlayerIconPinsAndUnpinsThePlayer) {
    Send(WM_LBUTTONUP, 20, 8); // the play button
    PumpMessagesUntil([] { return thePlayerBrowser.IsVisible(); });
    EXPECT_TRUE(thePlayerBrowser.IsVisible());

    Send(WM_LBUTTONUP, 40, 8); // unpin
    EXPECT_FALSE(thePlaylist.Playback().playerPinned);
    EXPECT_FALSE(thePlayerBrowser.IsVisible());
    EXPECT_EQ(FrameAlphaAfterFade(0), 0);

    Send(WM_MOUSEMOVE, 40, 8); // unpinned: hovering shows it for a while
    EXPECT_EQ(FrameAlphaAfterFade(230), 230);
    Send(WM_MOUSEMOVE, 47, 8); // and leaving fades it out again
    EXPECT_FALSE(thePlayerBrowser.IsVisible());
    EXPECT_EQ(FrameAlphaAfterFade(0), 0);

    Send(WM_LBUTTONUP, 40, 8); // pin: it fades in and stays
    EXPECT_TRUE(thePlaylist.Playback().playerPinned);
    Send(WM_MOUSEMOVE, 47, 8);
    EXPECT_EQ(FrameAlphaAfterFade(230), 230);
    EXPECT_TRUE(thePlayerBrowser.IsVisible());
}

// The play button's balloon: 60 pixels with only "Stopped" while nothing plays; 130 with the
// title, the link and what the monitored adapter received since the start while something does.
// The received counters are set by hand, the bar's refresh stopped so that no reading replaces
// them; the sent counter differs, so a figure read from it shows.
TEST_F(BarMedia, PlayButtonBalloonShowsWhatPlaysAndWhatTheAdapterReceived) {
    KillTimer(theBar.hwnd(), 1);
    const int screenWidth = GetSystemMetrics(SM_CXSCREEN);
    const UniqueFont heading = CreateFaceFont("Segoe UI", 18, FW_BOLD);
    const UniqueFont normal = CreateFaceFont("Segoe UI", 16, FW_NORMAL);
    const auto differs = [](int x, int y, std::string_view text, HFONT font) {
        const WindowDC balloon(theBalloon.hwnd());
        return TextPixelsDiffer(balloon.get(), balloon.get(), x, y, text,
                                {font, RGB(0, 0, 0), true, RGB(255, 255, 225), 15});
    };
    Send(WM_MOUSEMOVE, 20, 8);
    KillTimer(theBar.hwnd(), 2);
    EXPECT_EQ(ScreenRect(theBalloon.hwnd()), (PixelRect{screenWidth - 359, 18, 245, 60}));
    PumpMessagesUntil([] { return LayeredAlpha(theBalloon.hwnd()) == 230; });
    EXPECT_EQ(differs(5, 25, "Stopped", heading.get()), 0);

    qv::testing::AdapterCounters counters(theBar.Adapter());
    counters.Set(7000, 900000000);
    Send(WM_LBUTTONUP, 20, 8);
    ASSERT_TRUE(thePlaylist.Playback().isPlaying);
    EXPECT_EQ(thePlaylist.Playback().startInOctets, 7000u);
    counters.Set(7000 + 3 * 1048576, 900000000);
    Send(WM_MOUSEMOVE, 31, 8);
    Send(WM_MOUSEMOVE, 20, 8);
    KillTimer(theBar.hwnd(), 2);
    EXPECT_EQ(ScreenRect(theBalloon.hwnd()), (PixelRect{screenWidth - 359, 18, 245, 130}));
    PumpMessagesUntil([] { return LayeredAlpha(theBalloon.hwnd()) == 230; });
    EXPECT_EQ(differs(5, 25, "Playing 1. Jazz...", heading.get()), 0);
    EXPECT_EQ(differs(70, 55, "http://radio/jazz.ram...", normal.get()), 0);
    EXPECT_EQ(differs(5, 55, "URL", normal.get()), 0); // "Bandwidth" is cut at its column's end
    EXPECT_EQ(differs(70, 85, "3.00 MB", normal.get()), 0);
    EXPECT_EQ(differs(70, 100, "0 Kbps", normal.get()), 0);
    thePlaylist.StopPlayback();
}

TEST_F(BarMedia, PlaylistToggleSnapsTheBarHomeFirst) {
    theBar.MoveTo(5, 300);
    theBar.ShowHidePlaylist();
    const int home = GetSystemMetrics(SM_CXSCREEN) - 350;
    EXPECT_EQ(theBar.BarLeft(), home);
    EXPECT_EQ(thePlaylist.SlideX(), home + 16);
}

} // namespace
