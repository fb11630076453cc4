#include <gtest/gtest.h>

#include "app/singletons.h"
#include "media/list_rows.h"
#include "media/media_wintest_support.h"
#include "testing/scratch_registry.h"

namespace {

using namespace qv;
using namespace qv::testing;

class BarMedia : public ::testing::Test {
protected:
    void SetUp() override {
        playlist.Write("<song>Jazz</song><link>http://radio/jazz.ram</link>\n");
        ASSERT_TRUE(theBar.Create(nullptr));
    }
    void TearDown() override { theBar.Destroy(); }

    // Which of the three play-button images show: highlighted play, stop, highlighted stop.
    std::tuple<bool, bool, bool> PlayButton() const {
        return {theBar.playHover.IsVisible(), theBar.stop.IsVisible(),
                theBar.stopHover.IsVisible()};
    }

    FileBesideProgram playlist{"QVPlaylist.ini"};
    FileBesideProgram page{"ut.html"};
};

TEST_F(BarMedia, PlayButtonHoverAndRestFollowThePlayingState) {
    theBar.UpdatePlayButtonHover();
    EXPECT_EQ(PlayButton(), std::make_tuple(true, false, false));
    theBar.RestPlayButton();
    EXPECT_EQ(PlayButton(), std::make_tuple(false, false, false));
    thePlaylist.nowPlaying.isPlaying = true;
    theBar.UpdatePlayButtonHover();
    EXPECT_EQ(PlayButton(), std::make_tuple(false, false, true));
    theBar.RestPlayButton();
    EXPECT_EQ(PlayButton(), std::make_tuple(false, true, false));
}

TEST_F(BarMedia, PlayButtonStartsTheSelectedRowAndStopsIt) {
    theBar.ClickPlayButton();
    EXPECT_TRUE(thePlaylist.nowPlaying.isPlaying);
    EXPECT_NE(page.Read().find("<EMBED SRC=\"http://radio/jazz.ram\""), std::string::npos);
    EXPECT_EQ(PlayButton(), std::make_tuple(false, false, true));

    theBar.ClickPlayButton();
    EXPECT_FALSE(thePlaylist.nowPlaying.isPlaying);
    EXPECT_EQ(thePlayerBrowser.browser.Navigations().back(), "about:blank");
    theBar.RestPlayButton(); // the pointer leaves: the skin's own play image shows
    EXPECT_EQ(PlayButton(), std::make_tuple(false, false, false));
}

TEST_F(BarMedia, PlayerIconOnlyHighlightsWhileNothingPlays) {
    theBar.ClickPlayerIcon();
    theBar.HoverPlayerIcon();
    EXPECT_TRUE(theBar.playerHover.IsVisible());
    EXPECT_FALSE(thePlaylist.nowPlaying.playerPinned);
    qv::testing::PumpMessagesFor(200);
    EXPECT_EQ(LayeredAlpha(thePlayerFrame.hwnd()), 0);
}

TEST_F(BarMedia, PlayerIconPinsAndUnpinsThePlayer) {
    theBar.ClickPlayButton();
    qv::testing::PumpMessagesFor(200);
    EXPECT_TRUE(thePlayerBrowser.IsVisible());

    theBar.ClickPlayerIcon(); // unpin
    EXPECT_FALSE(thePlaylist.nowPlaying.playerPinned);
    EXPECT_FALSE(thePlayerBrowser.IsVisible());
    qv::testing::PumpMessagesFor(200);
    EXPECT_EQ(LayeredAlpha(thePlayerFrame.hwnd()), 0);

    theBar.HoverPlayerIcon(); // unpinned: hovering shows it for a while
    qv::testing::PumpMessagesFor(200);
    EXPECT_EQ(LayeredAlpha(thePlayerFrame.hwnd()), 230);
    theBar.ReleaseUnpinnedPlayer(); // and leaving fades it out again
    EXPECT_FALSE(thePlayerBrowser.IsVisible());
    qv::testing::PumpMessagesFor(200);
    EXPECT_EQ(LayeredAlpha(thePlayerFrame.hwnd()), 0);

    theBar.ClickPlayerIcon(); // pin: it fades in and stays
    EXPECT_TRUE(thePlaylist.nowPlaying.playerPinned);
    theBar.ReleaseUnpinnedPlayer();
    qv::testing::PumpMessagesFor(200);
    EXPECT_EQ(LayeredAlpha(thePlayerFrame.hwnd()), 230);
    EXPECT_TRUE(thePlayerBrowser.IsVisible());
}

TEST_F(BarMedia, PlaylistToggleSnapsTheBarHomeFirst) {
    theBar.MoveTo(5, 300);
    theBar.ShowHidePlaylist();
    const int home = GetSystemMetrics(SM_CXSCREEN) - 350;
    EXPECT_EQ(theBar.BarLeft(), home);
    EXPECT_EQ(thePlaylist.slideX, home + 16);
}

} // namespace
