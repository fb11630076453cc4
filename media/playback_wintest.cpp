#include <gtest/gtest.h>

#include <ctime>
#include <optional>
#include <vector>

#include "app/bar_wintest_support.h"
#include "app/singletons.h"
#include "framework/list_rows.h"
#include "media/media_layout.h"
#include "media/media_wintest_support.h"
#include "media/player_page.h"
#include "monitor/test_support.h"
#include "testing/message_box_watch.h"
#include "testing/scratch_registry.h"

namespace {

using namespace qv;
using namespace qv::testing;

class Playback : public ::testing::Test {
protected:
    void SetUp() override {
        playlist.Write("<song>Jazz</song><link>http://radio/jazz.asx</link>\n"
                       "<song>Talk</song><link>rtsp://radio/talk.ram</link>\n");
        ASSERT_TRUE(qv::testing::CreateStartedBar());
        counters.emplace(theBar.Adapter());
        counters->Set(123456, 0); // as the last sample left it
    }
    void TearDown() override {
        counters.reset();
        theBar.Destroy();
    }

    // Runs the frame's fade-in by hand, noting the alpha and whether the browser shows.
    std::vector<std::pair<int, bool>> FadeIn() {
        std::vector<std::pair<int, bool>> steps;
        for (int i = 0; i < 5; ++i) {
            SendMessageA(thePlayerFrame.hwnd(), WM_TIMER, FadeInTimer, 0);
            steps.emplace_back(LayeredAlpha(thePlayerFrame.hwnd()), thePlayerBrowser.IsVisible());
        }
        return steps;
    }

    const std::vector<std::string>& Navigations() const {
        return thePlayerBrowser.Browser().Navigations();
    }

    FileBesideProgram playlist{"QVPlaylist.ini"};
    FileBesideProgram page{"ut.html"};
    std::optional<qv::testing::AdapterCounters> counters;
};

TEST_F(Playback, StartWritesThePageNavigatesToItAndFadesThePlayerIn) {
    const int64_t before = int64_t(std::time(nullptr));
    page.Write(std::string(4000, 'x')); // a longer page of an earlier start leaves nothing behind
    SelectRow(thePlaylist.NameList(), 1);
    thePlaylist.StartPlayback(PlayerVariant::RealMedia);

    EXPECT_EQ(page.Read(), BuildPlayerPage(PlayerVariant::RealMedia, "rtsp://radio/talk.ram"));
    EXPECT_EQ(page.Read().size(), 710 + 2 * std::string("rtsp://radio/talk.ram").size());
    ASSERT_EQ(Navigations().size(), 1u);
    EXPECT_EQ(Navigations()[0], page.path()); // a plain local path, not a file URL

    const NowPlaying& now = thePlaylist.Playback();
    EXPECT_EQ(now.title, "2. Talk");
    EXPECT_EQ(now.link, "rtsp://radio/talk.ram");
    EXPECT_TRUE(now.isPlaying);
    EXPECT_TRUE(now.playerPinned);
    EXPECT_FALSE(now.fromSearch);
    EXPECT_GE(now.startTime, before);
    EXPECT_LE(now.startTime, int64_t(std::time(nullptr)));
    EXPECT_EQ(now.startInOctets, 123456u);
    EXPECT_EQ(now.bitRate, 0);

    const int w = GetSystemMetrics(SM_CXSCREEN);
    EXPECT_EQ(ScreenRect(thePlayerFrame.hwnd()), PlayerFrameRect(w));
    EXPECT_EQ(ScreenRect(thePlayerBrowser.hwnd()), PlayerBrowserRect(w));
    EXPECT_EQ(ScreenRect(thePlayerBrowser.Browser().hwnd()),
              (PixelRect{w - 345, 38, 324, 273})); // overhangs by 2 on every side

    const std::vector<std::pair<int, bool>> fade{
        {50, false}, {100, false}, {150, false}, {200, false}, {230, true}};
    EXPECT_EQ(FadeIn(), fade);
}

// The page declares UTF-8, so a link in any script is written as its UTF-8: the player is handed
// the very file the playlist names.
TEST_F(Playback, ALinkInAnyScriptReachesThePageAsUtf8) {
    const std::string link = "C:\\M\xC3\xBAsica\\\xC3\x89t\xC3\xA9 \xD0\xB6 \xE6\x9D\xB1.mp3";
    playlist.Write("\xEF\xBB\xBF<song>Song</song><link>" + link + "</link>\n");
    theBar.Destroy();
    ASSERT_TRUE(qv::testing::CreateStartedBar());
    SelectRow(thePlaylist.NameList(), 0);
    thePlaylist.StartPlayback(PlayerVariant::WindowsMedia);
    const std::string written = page.Read();
    EXPECT_NE(written.find("VALUE=\"" + link + "\""), std::string::npos) << written;
}

TEST_F(Playback, StopBlanksTheBrowserHidesItAndFadesTheFrameOut) {
    thePlaylist.StartPlayback(PlayerVariant::WindowsMedia);
    FadeIn();
    thePlaylist.StopPlayback();
    EXPECT_EQ(Navigations().back(), "about:blank");
    EXPECT_FALSE(thePlayerBrowser.IsVisible());
    const NowPlaying& now = thePlaylist.Playback();
    EXPECT_FALSE(now.isPlaying);
    EXPECT_FALSE(now.playerPinned);
    EXPECT_EQ(now.title, "1. Jazz"); // kept for the balloon
    EXPECT_EQ(now.link, "http://radio/jazz.asx");
    qv::testing::PumpMessagesFor(300);
    qv::testing::PumpMessagesUntil([] { return LayeredAlpha(thePlayerFrame.hwnd()) == 0; });
    EXPECT_EQ(LayeredAlpha(thePlayerFrame.hwnd()), 0);
    EXPECT_TRUE(thePlayerFrame.IsVisible());
}

TEST_F(Playback, ASecondStartNeedsNoStopAndKeepsTheFrameOpaque) {
    thePlaylist.StartPlayback(PlayerVariant::WindowsMedia);
    FadeIn();
    SelectRow(thePlaylist.NameList(), 1);
    thePlaylist.StartPlayback(PlayerVariant::WindowsMedia);
    EXPECT_EQ(page.Read(), BuildPlayerPage(PlayerVariant::WindowsMedia, "rtsp://radio/talk.ram"));
    SendMessageA(thePlayerFrame.hwnd(), WM_TIMER, FadeInTimer, 0);
    EXPECT_EQ(LayeredAlpha(thePlayerFrame.hwnd()), 230);
    EXPECT_EQ(Navigations().size(), 2u);
}

TEST_F(Playback, AStartWithNoSelectedRowChangesNothing) {
    page.Write("previous page");
    SelectRow(thePlaylist.NameList(), -1);
    thePlaylist.StartPlayback(PlayerVariant::WindowsMedia);
    thePlaylist.StartPlayback(PlayerVariant::FlashVideo); // the result list is empty
    EXPECT_EQ(page.Read(), "previous page");
    EXPECT_TRUE(Navigations().empty());
    EXPECT_FALSE(thePlaylist.Playback().isPlaying);
    EXPECT_TRUE(thePlaylist.Playback().title.empty());
}

TEST_F(Playback, SearchRowsPlayAsFlashAndParkThePanel) {
    AddRow(thePlaylist.ResultList(), L"1. A clip");
    AddRow(thePlaylist.ResultLinkList(), L"http://video.example/v/abc");
    thePlaylist.Move(100, 18, 186, 192);
    SelectRow(thePlaylist.ResultList(), 0);
    SendMessageA(thePlaylist.hwnd(), WM_COMMAND, MAKEWPARAM(IDC_PLAYLIST_RESULTS, LBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(thePlaylist.ResultList().hwnd()));
    EXPECT_TRUE(thePlaylist.IsParked());
    EXPECT_TRUE(thePlaylist.Playback().fromSearch);
    EXPECT_EQ(thePlaylist.Playback().title, "1. A clip");
    const std::string written = page.Read();
    EXPECT_EQ(written.size(), 543 + 2 * std::string("http://video.example/v/abc").size());
    EXPECT_NE(written.find("http://video.example/v/abc&rel=1\" type="), std::string::npos);
    EXPECT_TRUE(IsWindowVisible(theBar.Item(IDC_BAR_STOP))); // the bar shows the stop image at once
}

TEST_F(Playback, AnUnwritablePageAbandonsTheStartAfterTheErrorBox) {
    page.BlockWithDirectory();
    qv::testing::MessageBoxWatch boxes;
    thePlaylist.StartPlayback(PlayerVariant::WindowsMedia);
    EXPECT_FALSE(boxes.Texts().empty());
    EXPECT_TRUE(Navigations().empty());
    EXPECT_FALSE(thePlaylist.Playback().isPlaying);
    EXPECT_EQ(thePlaylist.Playback().title, "1. Jazz"); // already taken before the write
}

} // namespace
