#include <gtest/gtest.h>

#include "app/bar_wintest_support.h"
#include "app/singletons.h"
#include "framework/list_rows.h"
#include "media/media_wintest_support.h"
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

TEST_F(BarMedia, PlayerIconPinsAndUnpinsThePlayer) {
    theBar.ClickPlayButton();
    PumpMessagesUntil([] { return thePlayerBrowser.IsVisible(); });
    EXPECT_TRUE(thePlayerBrowser.IsVisible());

    theBar.ClickPlayerIcon(); // unpin
    EXPECT_FALSE(thePlaylist.Playback().playerPinned);
    EXPECT_FALSE(thePlayerBrowser.IsVisible());
    EXPECT_EQ(FrameAlphaAfterFade(0), 0);

    theBar.HoverPlayerIcon(); // unpinned: hovering shows it for a while
    EXPECT_EQ(FrameAlphaAfterFade(230), 230);
    theBar.ReleaseUnpinnedPlayer(); // and leaving fades it out again
    EXPECT_FALSE(thePlayerBrowser.IsVisible());
    EXPECT_EQ(FrameAlphaAfterFade(0), 0);

    theBar.ClickPlayerIcon(); // pin: it fades in and stays
    EXPECT_TRUE(thePlaylist.Playback().playerPinned);
    theBar.ReleaseUnpinnedPlayer();
    EXPECT_EQ(FrameAlphaAfterFade(230), 230);
    EXPECT_TRUE(thePlayerBrowser.IsVisible());
}

TEST_F(BarMedia, PlaylistToggleSnapsTheBarHomeFirst) {
    theBar.MoveTo(5, 300);
    theBar.ShowHidePlaylist();
    const int home = GetSystemMetrics(SM_CXSCREEN) - 350;
    EXPECT_EQ(theBar.BarLeft(), home);
    EXPECT_EQ(thePlaylist.SlideX(), home + 16);
}

} // namespace
