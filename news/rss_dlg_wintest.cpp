#include "news/rss_dlg.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <thread>

#include "app/bar_wintest_support.h"
#include "app/singletons.h"
#include "media/media_wintest_support.h"
#include "news/news_wintest_support.h"
#include "settings/settings_store.h"
#include "testing/text_pixels.h"
#include "testing/timer_recorder.h"

namespace {

using namespace qv;
using namespace qv::testing;
using Strings = std::vector<std::string>;

constexpr const char* kFeedOne = "<rss><item><title>Safe</title><link>http://news/1</link></item>"
                                 "<item><title>Script</title><link>javascript:alert(1)</link>"
                                 "</item><item><title>Second</title><link>HTTPS://news/2</link>"
                                 "</item><item><title>Local</title><link> file:///c:/x</link>"
                                 "</item></rss>";

// The news panel as the bar makes it: layered, parked above the screen.
class NewsPanel : public ::testing::Test {
protected:
    void SetUp() override {
        feedOne.Write(kFeedOne);
        feedTwo.Write("<rss><item><title>Two</title><link>http://two/</link></item></rss>");
        ASSERT_TRUE(qv::testing::CreateStartedBar());
        ASSERT_TRUE(WaitForFeedRuns(theNews));
        barLeft = ScreenRect(theBar.hwnd()).x;
    }
    void TearDown() override { theBar.Destroy(); }

    void Click(int x, int y) const {
        SendMessageA(theNews.hwnd(), WM_LBUTTONUP, 0, MAKELPARAM(x, y));
    }
    // Runs a slide timer by hand; notes each top and opacity.
    std::vector<std::pair<int, int>> Ticks(UINT_PTR timer, int count) const {
        std::vector<std::pair<int, int>> steps;
        for (int i = 0; i < count; ++i) {
            SendMessageA(theNews.hwnd(), WM_TIMER, timer, 0);
            steps.emplace_back(ScreenRect(theNews.hwnd()).y, LayeredAlpha(theNews.hwnd()));
        }
        return steps;
    }
    void Toggle() const { SendMessageA(theBar.hwnd(), WM_COMMAND, ID_TOGGLE_NEWS, 0); }
    void Open() const {
        Toggle();
        Ticks(SlideInTimer, 10);
    }
    void Select(int row) const {
        const HWND titles = theNews.Item(IDC_NEWS_TITLES);
        SendMessageA(titles, LB_SETCURSEL, WPARAM(row), 0);
        SendMessageA(theNews.hwnd(), WM_COMMAND, MAKEWPARAM(IDC_NEWS_TITLES, LBN_SELCHANGE),
                     LPARAM(titles));
    }
    PixelRect Marker() const { return RectInParent(theNews.Item(IDC_NEWS_TAB_MARKER)); }
    const std::vector<std::string>& Navigations() const {
        return theNews.Browser().Browser().Navigations();
    }
    // Is the slide-out timer set? Killing answers that (and the test sets it again).
    bool SlidingOut() const {
        const bool set = KillTimer(theNews.hwnd(), SlideOutTimer);
        if (set) {
            SetTimer(theNews.hwnd(), SlideOutTimer, 1, nullptr);
        }
        return set;
    }

    NewsSettings settings;
    FileBesideProgram feedOne{"Rss1.xml"}, feedTwo{"Rss2.xml"}, feedThree{"Rss3.xml"},
        feedFour{"Rss4.xml"}, feedFive{"Rss5.xml"};
    int barLeft = 0;
};

// How many pixels of a picture differ, where a title stands at (x, y) of it, from that title
// drawn there over the picture's bare art as a tab title looks: "Segoe UI" in a 12-pixel cell,
// regular weight, ClearType, grey 100,100,100, the art showing through.
int TitlePixelsDiffer(int picture, int art, int x, int y, std::wstring_view title) {
    const auto drawn = reinterpret_cast<HBITMAP>(
        SendMessageA(theNews.Item(picture), STM_GETIMAGE, IMAGE_BITMAP, 0));
    const UniqueBitmap bare(
        static_cast<HBITMAP>(LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(art),
                                        IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    const UniqueFont font(CreateFontA(12, 0, 0, 0, 400, FALSE, FALSE, FALSE, ANSI_CHARSET,
                                      OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY,
                                      FF_SWISS | DEFAULT_PITCH, "Segoe UI"));
    const UniqueMemoryDC actual(CreateCompatibleDC(nullptr)),
        background(CreateCompatibleDC(nullptr));
    const SelectGuard withDrawn(actual.get(), drawn), withBare(background.get(), bare.get());
    return TextPixelsDiffer(actual.get(), background.get(), x, y, title,
                            {font.get(), RGB(100, 100, 100)});
}

TEST_F(NewsPanel, WithNoSettingsItListsFeedOneAndArmsAFiveMinuteUpdate) {
    EXPECT_EQ(ListRows(theNews, IDC_NEWS_TITLES),
              (Strings{"1. Safe", "2. Script", "3. Second", "4. Local"}));
    EXPECT_EQ(ListRows(theNews, IDC_NEWS_LINKS),
              (Strings{"http://news/1", "javascript:alert(1)", "HTTPS://news/2", "file:///c:/x"}));
    for (const std::string& url : theNews.Feeds().urls) {
        EXPECT_EQ(url, "");
    }
    EXPECT_EQ(theNews.ArmedUpdatePeriodMs(), 300000u);
    EXPECT_TRUE(KillTimer(theNews.hwnd(), UpdateTimer));
    EXPECT_FALSE(feedThree.Exists()); // nothing was downloaded, and nothing was lost
    EXPECT_EQ(feedTwo.Read(), "<rss><item><title>Two</title><link>http://two/</link></item></rss>");
}

TEST_F(NewsPanel, EachUpdateFrequencyArmsItsPeriodAndOthersNone) {
    const uint32_t periods[] = {300000, 600000, 900000, 1800000, 3600000, 7200000};
    TimerRecorder timers;
    ASSERT_TRUE(timers.Installed());
    for (DWORD index = 0; index < 6; ++index) {
        settings.Number("UpdateFrequency", index);
        KillTimer(theNews.hwnd(), UpdateTimer);
        theNews.StartFeedDownload();
        ASSERT_TRUE(WaitForFeedRuns(theNews));
        EXPECT_EQ(theNews.ArmedUpdatePeriodMs(), periods[index]) << index;
        EXPECT_EQ(timers.LastPeriod(theNews.hwnd(), UpdateTimer), periods[index]) << index;
        EXPECT_TRUE(KillTimer(theNews.hwnd(), UpdateTimer)) << index;
    }
    settings.Number("UpdateFrequency", 6);
    timers.Forget();
    theNews.StartFeedDownload();
    ASSERT_TRUE(WaitForFeedRuns(theNews));
    EXPECT_FALSE(KillTimer(theNews.hwnd(), UpdateTimer)); // none armed
    EXPECT_EQ(timers.LastPeriod(theNews.hwnd(), UpdateTimer), std::nullopt);
    SetTimer(theNews.hwnd(), UpdateTimer, 600000, nullptr);
    theNews.StartFeedDownload();
    ASSERT_TRUE(WaitForFeedRuns(theNews));
    EXPECT_TRUE(KillTimer(theNews.hwnd(), UpdateTimer)); // a running one is left as it is
}

TEST_F(NewsPanel, LaysOutItsPicturesAndListsInPixels) {
    EXPECT_EQ(ScreenRect(theNews.hwnd()), (PixelRect{300, -490, 263, 300}));
    EXPECT_EQ(RectInParent(theNews.Item(IDC_NEWS_BODY)), (PixelRect{0, 0, 263, 262}));
    EXPECT_EQ(RectInParent(theNews.Item(IDC_NEWS_TABS)), (PixelRect{0, 262, 263, 38}));
    EXPECT_EQ(RectInParent(theNews.Item(IDC_NEWS_TITLES)), (PixelRect{8, 3, 240, 260}));
    EXPECT_EQ(Marker(), (PixelRect{11, 266, 41, 16}));
    EXPECT_TRUE(IsWindowVisible(theNews.Item(IDC_NEWS_TITLES)));
    EXPECT_FALSE(IsWindowVisible(theNews.Item(IDC_NEWS_LINKS)));
    // A pop-up tool window without a caption; lists that tell of a new selection, keep the
    // height they are given and the order rows come in, in the panel's face at 8 points.
    EXPECT_EQ(GetWindowLongA(theNews.hwnd(), GWL_STYLE) & (WS_POPUP | WS_CAPTION), WS_POPUP);
    EXPECT_TRUE(GetWindowLongA(theNews.hwnd(), GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
    const HDC screen = GetDC(nullptr);
    const int pointHeight = -MulDiv(8, GetDeviceCaps(screen, LOGPIXELSY), 72);
    ReleaseDC(nullptr, screen);
    for (const int id : {IDC_NEWS_TITLES, IDC_NEWS_LINKS}) {
        const LONG style = GetWindowLongA(theNews.Item(id), GWL_STYLE);
        EXPECT_EQ(style & (LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | LBS_SORT),
                  LBS_NOTIFY | LBS_NOINTEGRALHEIGHT)
            << id;
        LOGFONTA font{};
        GetObjectA(reinterpret_cast<HFONT>(SendMessageA(theNews.Item(id), WM_GETFONT, 0, 0)),
                   sizeof font, &font);
        EXPECT_STREQ(font.lfFaceName, "Segoe UI") << id;
        EXPECT_EQ(font.lfHeight, pointHeight) << id;
    }
}

TEST_F(NewsPanel, TheBrowserIsALayeredWindowOfFourFifthsOfTheScreenCentred) {
    const HWND browser = theNews.Browser().hwnd();
    ASSERT_TRUE(IsWindow(browser));
    EXPECT_FALSE(IsWindowVisible(browser));
    const int width = GetSystemMetrics(SM_CXSCREEN) / 100 * 80;
    const int height = GetSystemMetrics(SM_CYSCREEN) / 100 * 80;
    EXPECT_EQ(ScreenRect(browser),
              (PixelRect{(GetSystemMetrics(SM_CXSCREEN) - width) / 2,
                         (GetSystemMetrics(SM_CYSCREEN) - height) / 2, width, height}));
    EXPECT_TRUE(GetWindowLongA(browser, GWL_EXSTYLE) & WS_EX_LAYERED);
    EXPECT_TRUE(GetWindowLongA(browser, GWL_EXSTYLE) & WS_EX_TOOLWINDOW); // the panel's own
    EXPECT_EQ(GetWindow(browser, GW_OWNER), nullptr);                     // the desktop's
    COLORREF key = 0;
    BYTE alpha = 0;
    DWORD flags = 0;
    GetLayeredWindowAttributes(browser, &key, &alpha, &flags);
    EXPECT_EQ(key, RGB(0, 255, 0));
    EXPECT_EQ(alpha, 255);
    EXPECT_EQ(flags, DWORD(LWA_COLORKEY | LWA_ALPHA));
}

TEST_F(NewsPanel, TheMenuCommandSlidesItDownBesideTheBarAndBackUp) {
    TimerRecorder timers;
    settings.Text("Rss3", "Opened^http://x/"); // the titles are read afresh at each opening
    Toggle();
    EXPECT_EQ(TitlePixelsDiffer(IDC_NEWS_TABS, IDB_NEWS_TABS, 99, 4, L"Opened"), 0);
    EXPECT_EQ(timers.LastPeriod(theNews.hwnd(), SlideInTimer), 1u);
    // Next to the bar in the z-order; an owned window cannot go below its owner.
    EXPECT_EQ(GetWindow(theNews.hwnd(), GW_HWNDNEXT), theBar.hwnd());
    const std::vector<std::pair<int, int>> down{{-435, 30},  {-380, 60},  {-325, 90},  {-270, 120},
                                                {-215, 150}, {-160, 180}, {-105, 210}, {-50, 240},
                                                {5, 245},    {0, 245}};
    EXPECT_EQ(Ticks(SlideInTimer, 10), down);
    EXPECT_EQ(ScreenRect(theNews.hwnd()), (PixelRect{barLeft - 258, 0, 263, 300}));

    Toggle();
    EXPECT_EQ(timers.LastPeriod(theNews.hwnd(), SlideOutTimer), 1u);
    const auto up = Ticks(SlideOutTimer, 15);
    const int alphas[] = {200, 155, 110, 65, 20, 0};
    for (int i = 0; i < 14; ++i) {
        EXPECT_EQ(up[i].first, -35 * (i + 1)) << i;
        EXPECT_EQ(up[i].second, alphas[std::min(i, 5)]) << i;
    }
    EXPECT_EQ(up[14].first, -490);
    EXPECT_FALSE(SlidingOut()); // stopped
    EXPECT_EQ(ScreenRect(theNews.hwnd()).x, barLeft - 258);
}

TEST_F(NewsPanel, ItsOwnTimersCarryTheSlideToTheEnd) {
    Toggle();
    PumpMessagesUntil(
        [] { return ScreenRect(theNews.hwnd()).y == 0 && LayeredAlpha(theNews.hwnd()) == 245; });
    EXPECT_EQ(ScreenRect(theNews.hwnd()).y, 0);
    EXPECT_EQ(LayeredAlpha(theNews.hwnd()), 245);
    COLORREF key = 0;
    BYTE alpha = 0;
    DWORD flags = 0;
    GetLayeredWindowAttributes(theNews.hwnd(), &key, &alpha, &flags);
    EXPECT_EQ(key, RGB(0, 255, 0));
    EXPECT_EQ(flags, DWORD(LWA_COLORKEY | LWA_ALPHA));
    // Its paint draws nothing of its own but leaves the window valid: no paint follows paint.
    InvalidateRect(theNews.hwnd(), nullptr, TRUE);
    UpdateWindow(theNews.hwnd());
    EXPECT_FALSE(GetUpdateRect(theNews.hwnd(), nullptr, FALSE));
}

TEST_F(NewsPanel, CloseWhileSlidingDownReversesFromWhereItIs) {
    Toggle();
    Ticks(SlideInTimer, 3); // y -325, alpha 90
    Click(255, 292);
    SetTimer(theNews.hwnd(), SlideInTimer, 1000, nullptr); // armed again, as by a stray start
    EXPECT_EQ(Ticks(SlideOutTimer, 1), (std::vector<std::pair<int, int>>{{-360, 45}}));
    // The slide up's first step stopped the slide down's timer.
    EXPECT_FALSE(KillTimer(theNews.hwnd(), SlideInTimer));
    // The slide down's own timer must not win any more.
    EXPECT_EQ(Ticks(SlideInTimer, 1)[0].first, -305);
}

TEST_F(NewsPanel, AToggleWhileSlidingDownClosesFromTheTop) {
    Toggle();
    Ticks(SlideInTimer, 3);
    Toggle();
    EXPECT_EQ(Ticks(SlideOutTimer, 1)[0].first, -35);
    // Parked means a top at -490 or above: one pixel lower the panel is on its way, and closes.
    KillTimer(theNews.hwnd(), SlideOutTimer);
    theNews.Move(barLeft - 258, -489, 263, 300);
    Toggle();
    EXPECT_EQ(theNews.SlideY(), 0);
    EXPECT_TRUE(SlidingOut());
    KillTimer(theNews.hwnd(), SlideOutTimer);
    theNews.Move(barLeft - 258, -490, 263, 300);
    Toggle();
    EXPECT_EQ(theNews.SlideY(), -490);
    EXPECT_FALSE(SlidingOut());
}

TEST_F(NewsPanel, TabsRefreshAndCloseActAtTheirBoundsOnly) {
    Open();
    Click(57, 265); // tab 2
    EXPECT_EQ(ListRows(theNews, IDC_NEWS_TITLES), (Strings{"1. Two"}));
    EXPECT_EQ(Marker(), (PixelRect{53, 266, 41, 16}));
    EXPECT_EQ(settings.ReadNumber("DefaultRss"), 2u);
    for (const POINT miss : {POINT{14, 265}, POINT{51, 270}, POINT{56, 265}, POINT{50, 281},
                             POINT{247, 290}, POINT{228, 270}, POINT{262, 284}}) {
        Click(miss.x, miss.y);
        EXPECT_EQ(Marker().x, 53) << miss.x << "," << miss.y;
        EXPECT_FALSE(theNews.FeedRunGoing()) << miss.x << "," << miss.y;
        EXPECT_FALSE(SlidingOut()) << miss.x << "," << miss.y;
    }
    Click(15, 265);
    EXPECT_EQ(Marker(), (PixelRect{11, 266, 41, 16}));
    EXPECT_EQ(settings.ReadNumber("DefaultRss"), 1u);
    Click(221, 280);
    EXPECT_EQ(Marker(), (PixelRect{182, 266, 41, 16}));
    ASSERT_TRUE(WaitForFeedRuns(theNews));
    EXPECT_EQ(RowCount(Window(theNews.Item(IDC_NEWS_TITLES))), 0);
    EXPECT_TRUE(feedFive.Exists()); // the missing file is created empty
    EXPECT_EQ(settings.ReadNumber("DefaultRss"), 5u);
    Click(243, 280);
    EXPECT_TRUE(theNews.FeedRunGoing());
    ASSERT_TRUE(WaitForFeedRuns(theNews));
    Click(248, 285);
    EXPECT_TRUE(SlidingOut());
    Open();
    Click(262, 299);
    EXPECT_TRUE(SlidingOut());
}

TEST_F(NewsPanel, ATabWhoseFileCannotBeReadShowsNoRowsNotThoseOfTheLastFeed) {
    feedThree.BlockWithDirectory();
    Click(100, 270); // tab 3
    EXPECT_EQ(Marker(), (PixelRect{96, 266, 41, 16}));
    ASSERT_TRUE(WaitForFeedRuns(theNews));
    EXPECT_EQ(ListRows(theNews, IDC_NEWS_TITLES), Strings{});
    EXPECT_EQ(ListRows(theNews, IDC_NEWS_LINKS), Strings{});
}

// Padded with zero bytes, which end the text: the size is what counts, not the scanning.
void WriteFeedOfSize(const FileBesideProgram& file, uintmax_t size) {
    file.Write("<rss><item><title>Big</title><link>http://big/</link></item></rss>");
    std::filesystem::resize_file(file.path(), size);
}

// The file is read on the feed thread: the window's thread answers all along.
TEST_F(NewsPanel, FeedFilesUpTo64MegabytesAreListedAndLargerOnesShowNoRows) {
    WriteFeedOfSize(feedFour, uintmax_t(64) << 20);
    GuiPinger pinger(theNews.hwnd());
    Click(143, 270); // tab 4
    // Pings answered after the rows came: a ping held up by the click counts too.
    EXPECT_TRUE(PumpMessagesUntil([&] {
        return ListRows(theNews, IDC_NEWS_TITLES) == Strings{"1. Big"} && pinger.Pings() > 2;
    }));
    pinger.Stop();
    EXPECT_GT(pinger.Pings(), 0);
    EXPECT_LT(pinger.LongestWaitMs(), 100u); // read on this thread, the file held it 150 ms
    Click(15, 270);
    WriteFeedOfSize(feedFour, (uintmax_t(64) << 20) + 1);
    Click(178, 280);
    EXPECT_EQ(Marker(), (PixelRect{139, 266, 41, 16}));
    ASSERT_TRUE(WaitForFeedRuns(theNews));
    EXPECT_EQ(ListRows(theNews, IDC_NEWS_TITLES), Strings{});
    EXPECT_EQ(ListRows(theNews, IDC_NEWS_LINKS), Strings{});
    EXPECT_EQ(std::filesystem::file_size(feedFour.path()), (uintmax_t(64) << 20) + 1);
}

// Presses a key no window uses every few milliseconds, as a typing user would, until stopped.
class KeyPresser {
public:
    KeyPresser()
        : thread_([this] {
              INPUT keys[2]{};
              for (INPUT& key : keys) {
                  key.type = INPUT_KEYBOARD;
                  key.ki.wVk = VK_F24;
              }
              keys[1].ki.dwFlags = KEYEVENTF_KEYUP;
              while (!stop_) {
                  SendInput(2, keys, sizeof keys[0]);
                  Sleep(5);
              }
          }) {}
    ~KeyPresser() {
        stop_ = true;
        thread_.join();
    }

private:
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

// Listed a slice at a time: the window answers all along, input waiting puts the next slice after
// it, and both lists end whole and in step.
TEST_F(NewsPanel, AHundredThousandItemsAreListedWhileTheWindowAnswers) {
    std::string feed = "<rss>";
    for (int i = 1; i <= 100000; ++i) {
        feed += "<item><title>t</title><link>http://t/" + std::to_string(i) + "</link></item>";
    }
    feedFive.Write(feed + "</rss>");
    Open();
    SetForegroundWindow(theNews.hwnd()); // the keys come to this thread
    GuiPinger pinger(theNews.hwnd());
    {
        const KeyPresser typing;
        Click(186, 265); // tab 5
        ASSERT_TRUE(WaitForFeedRuns(theNews, 120000));
    }
    pinger.Stop();
    EXPECT_LT(pinger.LongestWaitMs(), 100u); // in one go, the lists held it over a second
    const Window titles(theNews.Item(IDC_NEWS_TITLES)), links(theNews.Item(IDC_NEWS_LINKS));
    ASSERT_EQ(RowCount(titles), 100000);
    ASSERT_EQ(RowCount(links), 100000);
    EXPECT_TRUE(GetWindowLongA(titles.hwnd(), GWL_STYLE) & WS_VSCROLL); // a scroll bar shows
    EXPECT_TRUE(GetWindowLongA(links.hwnd(), GWL_STYLE) & WS_VSCROLL);
    EXPECT_EQ(RowText(titles, 99999), L"100000. t");
    EXPECT_EQ(RowText(links, 99999), L"http://t/100000");
}

TEST_F(NewsPanel, TheHandShowsOverTheRegionsOnly) {
    const HCURSOR hand = LoadCursorA(nullptr, IDC_HAND);
    const HCURSOR arrow = LoadCursorA(nullptr, IDC_ARROW);
    for (const POINT over : {POINT{15, 265}, POINT{221, 280}, POINT{229, 265}, POINT{262, 299}}) {
        SetCursor(arrow);
        SendMessageA(theNews.hwnd(), WM_MOUSEMOVE, 0, MAKELPARAM(over.x, over.y));
        EXPECT_EQ(GetCursor(), hand) << over.x;
    }
    for (const POINT off : {POINT{14, 265}, POINT{100, 100}, POINT{247, 299}}) {
        SetCursor(arrow);
        SendMessageA(theNews.hwnd(), WM_MOUSEMOVE, 0, MAKELPARAM(off.x, off.y));
        EXPECT_EQ(GetCursor(), arrow) << off.x;
    }
}

TEST_F(NewsPanel, ATitleOpensItsWebLinkInTheBrowserAndSlidesThePanelAway) {
    Open();
    Select(0);
    EXPECT_EQ(Navigations(), (Strings{"http://news/1"}));
    EXPECT_TRUE(theNews.Browser().IsVisible());
    EXPECT_EQ(GetForegroundWindow(), theNews.Browser().hwnd());
    EXPECT_TRUE(SlidingOut());
    // The slide goes on from the slide's own top, which the opening left at 5 before it
    // snapped the window to 0.
    EXPECT_EQ(Ticks(SlideOutTimer, 1)[0].first, -30);

    // Already shown behind another window, the browser comes forward again.
    SetForegroundWindow(theBar.hwnd());
    ASSERT_EQ(GetForegroundWindow(), theBar.hwnd());
    Select(2);
    EXPECT_EQ(GetForegroundWindow(), theNews.Browser().hwnd());
}

TEST_F(NewsPanel, ANonAsciiLinkOpensPercentEncodedAsUtf8) {
    feedOne.Write("<rss><item><title>Caf&#233;</title>"
                  "<link>http://news/caf\xC3\xA9 x?q=\xD0\x96&amp;a=%41</link></item></rss>");
    theNews.ShowFeed(1);
    ASSERT_TRUE(WaitForFeedRuns(theNews));
    Open();
    Select(0);
    EXPECT_EQ(Navigations(), (Strings{"http://news/caf%C3%A9%20x?q=%D0%96&a=%41"}));
}

TEST_F(NewsPanel, OtherSchemesOpenNothing) {
    Open();
    Select(1); // javascript:
    Select(3); // file:, after a space that trimming took away
    EXPECT_TRUE(Navigations().empty()) << ::testing::PrintToString(Navigations());
    EXPECT_FALSE(theNews.Browser().IsVisible());
    EXPECT_FALSE(SlidingOut());
}

TEST_F(NewsPanel, ArrowKeysOpenEachNewlySelectedTitle) {
    Open();
    const HWND titles = theNews.Item(IDC_NEWS_TITLES);
    Select(1);
    SendMessageA(titles, WM_KEYDOWN, VK_DOWN, 0);
    EXPECT_EQ(SendMessageA(titles, LB_GETCURSEL, 0, 0), 2);
    EXPECT_EQ(Navigations(), (Strings{"HTTPS://news/2"}));
    SendMessageA(titles, WM_KEYDOWN, VK_UP, 0);
    SendMessageA(titles, WM_KEYDOWN, VK_UP, 0);
    EXPECT_EQ(Navigations(), (Strings{"HTTPS://news/2", "http://news/1"}));
}

TEST_F(NewsPanel, TheNewsIconOpensAndClosesIt) {
    for (const POINT miss : {POINT{11, 8}, POINT{1, 0}, POINT{10, 18}, POINT{0, 8}}) {
        SendMessageA(theBar.hwnd(), WM_LBUTTONUP, 0, MAKELPARAM(miss.x, miss.y));
        EXPECT_EQ(theNews.SlideY(), 0) << miss.x << "," << miss.y; // not asked to open
    }
    SendMessageA(theBar.hwnd(), WM_LBUTTONUP, 0, MAKELPARAM(1, 1));
    EXPECT_EQ(theNews.SlideY(), -490);
    Ticks(SlideInTimer, 10);
    SendMessageA(theBar.hwnd(), WM_LBUTTONUP, 0, MAKELPARAM(10, 17));
    EXPECT_TRUE(SlidingOut());
    SendMessageA(theBar.hwnd(), WM_MOUSEMOVE, 0, MAKELPARAM(10, 12));
    EXPECT_TRUE(IsWindowVisible(theBar.Item(IDC_BAR_NEWS_HOVER)));
    SendMessageA(theBar.hwnd(), WM_MOUSEMOVE, 0, MAKELPARAM(11, 12));
    EXPECT_FALSE(IsWindowVisible(theBar.Item(IDC_BAR_NEWS_HOVER)));
}

std::vector<COLORREF> Picture(int id, int width, int height) {
    return PicturePixels(theNews.Item(id), width, height);
}

std::vector<COLORREF> Resource(int id, int width, int height) {
    const UniqueBitmap image(static_cast<HBITMAP>(LoadImageA(
        GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    return PicturePixels(image.get(), width, height);
}

// Where the strip differs from its bare bitmap: the bounds of the drawn text.
RECT Changed(const std::vector<COLORREF>& drawn, const std::vector<COLORREF>& bare, int width) {
    RECT bounds{1000, 1000, -1, -1};
    for (size_t i = 0; i < drawn.size(); ++i) {
        if (drawn[i] != bare[i]) {
            const int x = int(i) % width, y = int(i) / width;
            bounds = {std::min<LONG>(bounds.left, x), std::min<LONG>(bounds.top, y),
                      std::max<LONG>(bounds.right, x), std::max<LONG>(bounds.bottom, y)};
        }
    }
    return bounds;
}

TEST_F(NewsPanel, TabsShowTheFirstSixCharactersOfTheirTitlesInGrey) {
    const auto bare = Resource(IDB_NEWS_TABS, 263, 38);
    const auto titled = [&](const char* title) {
        settings.Text("Rss2", std::string(title) + "^http://x/");
        Click(15, 270); // a tab click redraws the titles
        return Picture(IDC_NEWS_TABS, 263, 38);
    };
    const auto six = titled("Worldw");
    EXPECT_EQ(TitlePixelsDiffer(IDC_NEWS_TABS, IDB_NEWS_TABS, 55, 4, L"Worldw"), 0);
    EXPECT_EQ(titled("Worldwide"), six);
    EXPECT_NE(titled("World"), six);
    const RECT text = Changed(six, bare, 263);
    EXPECT_GE(text.left, 55); // tab 2's title starts at x 55, row 266 (4 in the strip)
    EXPECT_LE(text.left, 57);
    EXPECT_GE(text.top, 4);
    EXPECT_LE(text.right, 93);  // and stays on its tab
    EXPECT_LE(text.bottom, 15); // within its 12-pixel cell, descenders too
    EXPECT_LE(Changed(titled("gjpqy"), bare, 263).bottom, 15);
    EXPECT_NE(std::count(six.begin(), six.end(), RGB(100, 100, 100)), 0);
    EXPECT_EQ(titled(""), bare); // no titles at all: the bare strip
    settings.Text("Rss2", "");
    // The same title on each tab in turn: the glyphs' own margin is the same on every tab.
    const int titleX[] = {14, 55, 99, 142, 185};
    LONG firstLeft = 0;
    for (int n = 1; n <= 5; ++n) {
        const std::string name = "Rss" + std::to_string(n);
        settings.Text(name.c_str(), "Worldw^");
        Click(15, 270);
        const LONG left = Changed(Picture(IDC_NEWS_TABS, 263, 38), bare, 263).left;
        EXPECT_EQ(TitlePixelsDiffer(IDC_NEWS_TABS, IDB_NEWS_TABS, titleX[n - 1], 4, L"Worldw"), 0)
            << n;
        firstLeft = n == 1 ? left : firstLeft;
        EXPECT_EQ(left - firstLeft, titleX[n - 1] - titleX[0]) << n;
        settings.Text(name.c_str(), "");
    }
    EXPECT_GE(firstLeft, 14);
    EXPECT_LE(firstLeft, 16);

    // The marker carries the title of the tab it marks.
    settings.Text("Rss1", "First^");
    settings.Text("Rss2", "\xC5lpha^"); // the ring reaches the top row
    Click(57, 270);
    const RECT marked =
        Changed(Picture(IDC_NEWS_TAB_MARKER, 41, 16), Resource(IDB_NEWS_TAB_MARKER, 41, 16), 41);
    EXPECT_GE(marked.left, 2); // 55 on the panel, 53 the marker's left
    EXPECT_LE(marked.left, 4);
    EXPECT_GE(marked.top, 0);
    EXPECT_EQ(TitlePixelsDiffer(IDC_NEWS_TAB_MARKER, IDB_NEWS_TAB_MARKER, 2, 0, L"\u00C5lpha"), 0);
}

// A title in any script shows its first six characters, drawn as themselves and not as the
// question marks of the ANSI code page; a character beyond the basic plane is never cut in half.
TEST_F(NewsPanel, TabTitlesInAnyScriptShowTheirFirstSixCharacters) {
    const auto titled = [&](const std::wstring& title) {
        SettingsWriter().WriteSettingText("Rss2", title + L"^http://x/");
        Click(15, 270);
        return Picture(IDC_NEWS_TABS, 263, 38);
    };
    const auto six = titled(L"ニュース速報です");
    EXPECT_EQ(theNews.TabTitles()[1], L"ニュース速報");
    EXPECT_EQ(titled(L"ニュース速報"), six);
    EXPECT_NE(titled(L"??????"), six);
    const std::pair<std::wstring, std::wstring> shown[] = {
        {L"Ειδήσεις", L"Ειδήσε"},
        {L"Новости", L"Новост"},
        {L"新闻联播节目表", L"新闻联播节目"},
        {L"뉴스", L"뉴스"},
        {L"أخبار اليوم", L"أخبار "},
        {L"ニュース速\U00020BB7です", L"ニュース速\U00020BB7"},
        {L"\U00020BB7\U00020BB7\U00020BB7\U00020BB7", L"\U00020BB7\U00020BB7\U00020BB7"},
    };
    for (const auto& [title, tab] : shown) {
        titled(title);
        EXPECT_EQ(theNews.TabTitles()[1], tab);
    }
    settings.Text("Rss2", "");
}

TEST_F(NewsPanel, TheArtworkShowsEachRegionWhereItActs) {
    const auto strip = Resource(IDB_NEWS_TABS, 263, 38);
    const auto at = [&](int x, int clientY) { return strip[size_t((clientY - 262) * 263 + x)]; };
    for (const int middle : {32, 74, 117, 160, 203}) { // the tabs: pale cream
        const COLORREF tab = at(middle, 272);
        EXPECT_GT(GetRValue(tab), 230) << middle;
        EXPECT_GT(GetGValue(tab), 230) << middle;
        EXPECT_GT(GetBValue(tab), 190) << middle;
    }
    const COLORREF close = at(250, 292); // the close button: red, inside the region only
    EXPECT_GT(GetRValue(close), 150);
    EXPECT_LT(GetGValue(close), 110);
    int dark = 0; // the refresh arrows: dark strokes
    for (int y = 265; y <= 280; ++y) {
        for (int x = 229; x <= 243; ++x) {
            dark += GetRValue(at(x, y)) < 60 && GetGValue(at(x, y)) < 60;
        }
    }
    EXPECT_GT(dark, 20);
    EXPECT_EQ(at(262, 270), RGB(0, 255, 0)); // beyond the panel's border: transparent
    // The body repeats one row: a black border left of a white page, transparent beyond.
    const auto body = Picture(IDC_NEWS_BODY, 263, 17);
    for (int y = 1; y < 17; ++y) {
        EXPECT_TRUE(std::equal(body.begin(), body.begin() + 263, body.begin() + y * 263)) << y;
    }
    EXPECT_EQ(body[0], RGB(0, 0, 0));
    EXPECT_EQ(body[130], RGB(255, 255, 255));
    EXPECT_EQ(body[262], RGB(0, 255, 0));
    const COLORREF marker = Picture(IDC_NEWS_TAB_MARKER, 41, 16)[8 * 41 + 20]; // warm gold
    EXPECT_GT(int(GetRValue(marker)), GetBValue(marker) + 60);
}

TEST_F(NewsPanel, DestroyingThePanelDestroysTheBrowser) {
    const HWND browser = theNews.Browser().hwnd();
    theNews.Destroy();
    EXPECT_FALSE(IsWindow(browser));
}

TEST_F(NewsPanel, TheClickedTabIsShownAgainAtTheNextStart) {
    Click(57, 265);
    theBar.Destroy();
    ASSERT_TRUE(qv::testing::CreateStartedBar());
    ASSERT_TRUE(WaitForFeedRuns(theNews));
    EXPECT_EQ(ListRows(theNews, IDC_NEWS_TITLES), (Strings{"1. Two"}));
    EXPECT_EQ(Marker().x, 53);
}

} // namespace
