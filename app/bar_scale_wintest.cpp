#include "app/quorvel_dlg.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>
#include <utility>

#include "app/singletons.h"
#include "framework/display_scale.h"
#include "framework/skin_image.h"
#include "media/media_wintest_support.h"
#include "monitor/balloon_layout.h"
#include "monitor/test_support.h"
#include "news/news_wintest_support.h"
#include "testing/scratch_registry.h"

// The bar and its windows at the display scale of the prefix the test runs in (its LogPixels):
// every 100 % length times dpi / 96, to the nearest pixel. Run at 96, 120, 144, 168 and 192 DPI by
// tools/dpi-test.sh, which names the DPI it set in QV_EXPECTED_DPI.

namespace {

using namespace qv;
using qv::testing::ScreenRect;

class BarAtScale : public qv::testing::BarTest {
protected:
    void SetUp() override {
        BarTest::SetUp();
        const HDC screen = GetDC(nullptr);
        dpi = GetDeviceCaps(screen, LOGPIXELSX);
        ReleaseDC(nullptr, screen);
        if (const char* expected = std::getenv("QV_EXPECTED_DPI")) {
            ASSERT_EQ(dpi, std::atoi(expected)) << "the prefix's LogPixels did not take";
        }
    }
    // The 100 % length at this scale, rounded to the nearest pixel.
    int S(int length) const { return int(std::lround(length * dpi / 96.0)); }
    // Sends a pointer move to the bar at client pixels.
    void Move(int x, int y) const {
        SendMessageA(theBar.hwnd(), WM_MOUSEMOVE, 0, MAKELPARAM(x, y));
    }
    bool Shown(int id) const { return IsWindowVisible(theBar.Item(id)) != FALSE; }

    int dpi = 96;
};

TEST_F(BarAtScale, BarAndItsImagesTakeTheScale) {
    EXPECT_EQ(ScreenRect(theBar.hwnd()), (PixelRect{screenWidth - S(350), 0, S(236), S(18)}));
    RECT news{};
    GetWindowRect(theBar.Item(IDC_BAR_NEWS_HOVER), &news);
    EXPECT_EQ(news.right - news.left, S(16));
    EXPECT_EQ(news.bottom - news.top, S(18));
    RECT video{};
    GetWindowRect(theBar.Item(IDC_BAR_VIDEO_SEARCH_HOVER), &video);
    EXPECT_EQ(video.left - ScreenRect(theBar.hwnd()).x, S(218));
}

// Each highlight comes on at both edges of its zone and goes off one pixel outside them.
TEST_F(BarAtScale, ZoneEdgesAnswerPointerMessages) {
    struct Zone {
        int first, last, id;
    };
    for (const Zone& zone :
         {Zone{1, 10, IDC_BAR_NEWS_HOVER}, Zone{35, 44, IDC_BAR_PLAYER_HOVER},
          Zone{205, 214, IDC_BAR_WEB_SEARCH_HOVER}, Zone{219, 232, IDC_BAR_VIDEO_SEARCH_HOVER}}) {
        const int left = S(zone.first);
        const int right = S(zone.last + 1) - 1;
        const int middleY = S(8);
        Move(left, middleY);
        EXPECT_TRUE(Shown(zone.id)) << zone.first;
        Move(right, S(3));
        EXPECT_TRUE(Shown(zone.id)) << zone.last;
        Move(right, S(13));
        EXPECT_FALSE(Shown(zone.id)) << zone.last << " below";
        Move(left - 1, middleY);
        EXPECT_FALSE(Shown(zone.id)) << zone.first << " left";
        Move(right + 1, middleY);
        EXPECT_FALSE(Shown(zone.id)) << zone.last << " right";
    }
}

TEST_F(BarAtScale, BalloonHangsUnderEachSection) {
    struct Section {
        int x;
        int fromRight;
        int height;
    };
    for (const Section& section : {Section{20, 359, 60}, Section{60, 320, 159},
                                   Section{90, 289, 160}, Section{140, 250, 220}}) {
        Move(S(section.x), S(8));
        EXPECT_EQ(ScreenRect(theBalloon.hwnd()),
                  (PixelRect{screenWidth - S(section.fromRight), S(18), S(245), S(section.height)}))
            << section.x;
    }
}

TEST_F(BarAtScale, PanelsParkAndSlideAtTheScale) {
    const int barLeft = ScreenRect(theBar.hwnd()).x;
    EXPECT_EQ(ScreenRect(thePlaylist.hwnd()).y, S(-200));
    EXPECT_EQ(ScreenRect(theNews.hwnd()), (PixelRect{S(300), S(-490), S(263), S(300)}));
    SendMessageA(theBar.hwnd(), WM_COMMAND, ID_TOGGLE_PLAYLIST, 0);
    SendMessageA(theBar.hwnd(), WM_COMMAND, ID_TOGGLE_NEWS, 0);
    ASSERT_TRUE(qv::testing::PumpMessagesUntil([&] {
        return ScreenRect(thePlaylist.hwnd()).y == S(18) && ScreenRect(theNews.hwnd()).y == 0;
    }));
    EXPECT_EQ(ScreenRect(thePlaylist.hwnd()), (PixelRect{barLeft + S(16), S(18), S(186), S(192)}));
    EXPECT_EQ(ScreenRect(theNews.hwnd()), (PixelRect{barLeft - S(263) + S(5), 0, S(263), S(300)}));
    SendMessageA(theBar.hwnd(), WM_COMMAND, ID_TOGGLE_PLAYLIST, 0);
    ASSERT_TRUE(qv::testing::PumpMessagesUntil(
        [&] { return ScreenRect(thePlaylist.hwnd()).y == S(-200); }));
    EXPECT_EQ(ScreenRect(thePlaylist.hwnd()),
              (PixelRect{barLeft + S(16), S(-200), S(186), S(192)}));
}

TEST_F(BarAtScale, PlayerWindowsTakeTheirPlaces) {
    SendMessageA(theBar.hwnd(), WM_DISPLAYCHANGE, 32, 0);
    EXPECT_EQ(ScreenRect(thePlayerFrame.hwnd()),
              (PixelRect{screenWidth - S(350), S(18), S(341), S(311)}));
    EXPECT_EQ(ScreenRect(thePlayerBrowser.hwnd()),
              (PixelRect{screenWidth - S(343), S(40), S(320), S(269)}));
}

// What the window shows: of the whole window, or of its client area only (where a window that
// paints outside WM_PAINT, as the balloon does, can be read back).
SkinPixels WindowPixels(HWND window, bool clientOnly = false) {
    RECT rect{};
    clientOnly ? GetClientRect(window, &rect) : GetWindowRect(window, &rect);
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    const HDC source = clientOnly ? GetDC(window) : GetWindowDC(window);
    const HDC memory = CreateCompatibleDC(source);
    const HBITMAP bitmap = CreateCompatibleBitmap(source, width, height);
    const HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, source, 0, 0, SRCCOPY);
    SelectObject(memory, old);
    SkinPixels pixels = ReadSkinPixels(bitmap);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(window, source);
    return pixels;
}

SkinPixels ResourcePixels(int id) {
    const HBITMAP bitmap = static_cast<HBITMAP>(LoadImageA(
        GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    SkinPixels pixels = ReadSkinPixels(bitmap);
    DeleteObject(bitmap);
    return pixels;
}

// The set of art drawn for a scale: 100, 125, 150, 175, 200 %.
int SkinSet(int dpi) {
    return dpi == 96 ? 0 : dpi == 120 ? 1 : dpi == 144 ? 2 : dpi == 168 ? 3 : 4;
}

// Outside the value cells the bar shows, pixel for pixel, the art drawn for its scale (set n of
// the resources: the 100 % id plus n times 10000), and no pixel is a blend of the key.
struct ArtComparison {
    int differing = 0;
    int blended = 0;
};

ArtComparison CompareBarWithArt(int set, int cellsLeft, int cellsRight, int cellsTop) {
    const SkinPixels art = ResourcePixels(IDB_BAR_SKIN + 10000 * set);
    const SkinPixels bar = WindowPixels(theBar.hwnd());
    ArtComparison result;
    if (art.pixels.empty() || bar.height != art.height || bar.width < art.width) {
        result.differing = -1;
        return result;
    }
    for (int y = 0; y < art.height; ++y) {
        for (int x = 0; x < art.width; ++x) {
            const uint32_t shown = bar.pixels[size_t(y) * size_t(bar.width) + size_t(x)];
            const int red = int(shown >> 16 & 0xFF), green = int(shown >> 8 & 0xFF),
                      blue = int(shown & 0xFF);
            result.blended += shown != 0x00FF00 && green - std::max(red, blue) > 150;
            const bool inCells = x >= cellsLeft && x < cellsRight && y >= cellsTop;
            result.differing +=
                !inCells && shown != art.pixels[size_t(y) * size_t(art.width) + size_t(x)];
        }
    }
    return result;
}

bool BarPainted() {
    return qv::testing::PumpMessagesUntil(
        [] { return !GetUpdateRect(theBar.hwnd(), nullptr, FALSE); });
}

TEST_F(BarAtScale, BarShowsTheArtOfItsScaleWithNothingBlended) {
    ASSERT_TRUE(BarPainted());
    const ArtComparison shown = CompareBarWithArt(SkinSet(dpi), S(51), S(201), S(2));
    EXPECT_EQ(shown.differing, 0);
    EXPECT_EQ(shown.blended, 0);
}

int Greenish(const SkinPixels& picture) {
    int count = 0;
    for (const uint32_t pixel : picture.pixels) {
        const int red = int(pixel >> 16 & 0xFF), green = int(pixel >> 8 & 0xFF),
                  blue = int(pixel & 0xFF);
        count += pixel != 0x00FF00 && green - std::max(red, blue) > 150;
    }
    return count;
}

SkinPixels ShownSkin(HWND picture) {
    return ReadSkinPixels(
        reinterpret_cast<HBITMAP>(SendMessageA(picture, STM_GETIMAGE, IMAGE_BITMAP, 0)));
}

// Each panel's skin and the balloon's top (the first picture of each template) is the art drawn
// for the scale.
void ExpectPanelSkinsOfSet(int set) {
    struct Panel {
        HWND window;
        int bitmap;
    };
    for (const Panel& panel :
         {Panel{thePlaylist.hwnd(), IDB_PLAYLIST_SKIN}, Panel{theSearchBox.hwnd(), IDB_SEARCH_SKIN},
          Panel{thePlayerFrame.hwnd(), IDB_PLAYER_FRAME_SKIN},
          Panel{theBalloon.hwnd(), IDB_BALLOON_TOP}}) {
        const HWND skin = FindWindowExA(panel.window, nullptr, "Static", nullptr);
        const SkinPixels shown = ShownSkin(skin);
        const SkinPixels art = ResourcePixels(panel.bitmap + 10000 * set);
        ASSERT_FALSE(art.pixels.empty()) << panel.bitmap;
        EXPECT_EQ(shown.width, art.width) << panel.bitmap;
        EXPECT_TRUE(shown.pixels == art.pixels) << panel.bitmap;
        EXPECT_EQ(Greenish(shown), 0) << panel.bitmap;
        RECT place{};
        GetClientRect(skin, &place);
        EXPECT_EQ(place.right, art.width) << panel.bitmap;
        EXPECT_EQ(place.bottom, art.height) << panel.bitmap;
    }
}

TEST_F(BarAtScale, PanelsShowTheArtOfTheirScale) {
    ExpectPanelSkinsOfSet(SkinSet(dpi));
    const SkinPixels playlist = ResourcePixels(IDB_PLAYLIST_SKIN + 10000 * SkinSet(dpi));
    EXPECT_EQ(playlist.width, S(186));
    EXPECT_EQ(playlist.height, S(192));
}

// Each piece of the page browser's skin, corners, edges and highlights, shows its own art: as
// drawn where the art has the size shown (at 125 % some pieces are stretched a pixel or so).
TEST_F(BarAtScale, PageBrowserPiecesShowTheArtOfTheirScale) {
    CBrowserDlg& page = theNews.Browser();
    page.LayOut();
    const std::pair<int, int> pieces[] = {{IDC_BROWSER_TOP_LEFT, IDB_BROWSER_TOP_LEFT},
                                          {IDC_BROWSER_TOP_EDGE, IDB_BROWSER_TOP_EDGE},
                                          {IDC_BROWSER_TOP_RIGHT, IDB_BROWSER_TOP_RIGHT},
                                          {IDC_BROWSER_RIGHT_EDGE, IDB_BROWSER_RIGHT_EDGE},
                                          {IDC_BROWSER_BOTTOM_RIGHT, IDB_BROWSER_BOTTOM_RIGHT},
                                          {IDC_BROWSER_BOTTOM_EDGE, IDB_BROWSER_BOTTOM_EDGE},
                                          {IDC_BROWSER_BOTTOM_LEFT, IDB_BROWSER_BOTTOM_LEFT},
                                          {IDC_BROWSER_LEFT_EDGE, IDB_BROWSER_LEFT_EDGE},
                                          {IDC_BROWSER_BACK_HOVER, IDB_BROWSER_BACK_HOVER},
                                          {IDC_BROWSER_FORWARD_HOVER, IDB_BROWSER_FORWARD_HOVER}};
    for (const auto& [control, bitmap] : pieces) {
        const SkinPixels art = ResourcePixels(bitmap + 10000 * SkinSet(dpi));
        ASSERT_FALSE(art.pixels.empty()) << bitmap;
        const SkinPixels shown = ShownSkin(page.Item(control));
        if (shown.width == art.width && shown.height == art.height) {
            EXPECT_TRUE(shown.pixels == art.pixels) << bitmap;
        }
    }
}

// The lowest row of the area holding a pixel of that colour; -1 when there is none.
// The lowest row, between the columns left and right, where the two pictures differ.
int LowestDifferingRow(const SkinPixels& one, const SkinPixels& other, int left, int right) {
    for (int y = std::min(one.height, other.height) - 1; y >= 0; --y) {
        for (int x = left; x <= right && x < one.width && x < other.width; ++x) {
            if (one.pixels[size_t(y) * size_t(one.width) + size_t(x)] !=
                other.pixels[size_t(y) * size_t(other.width) + size_t(x)]) {
                return y;
            }
        }
    }
    return -1;
}

// The processor section's sixth and last row is 130 to 149 of the 100 % design, so at any scale
// the lowest text is found there: the balloon with its texts against its images alone.
TEST_F(BarAtScale, BalloonRowsAreWrittenAtTheirScaledPlaces) {
    Move(S(60), S(8));
    int lowest = -1;
    ASSERT_TRUE(qv::testing::PumpMessagesUntil([&] {
        SendMessageA(theBar.hwnd(), WM_TIMER, 3, 0); // the processor section's refresh
        const SkinPixels withTexts = WindowPixels(theBalloon.hwnd(), true);
        RedrawWindow(theBalloon.hwnd(), nullptr, nullptr,
                     RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        const SkinPixels images = WindowPixels(theBalloon.hwnd(), true);
        lowest = LowestDifferingRow(withTexts, images, S(4), S(235));
        return lowest > S(55);
    }));
    EXPECT_GE(lowest, S(130));
    EXPECT_LT(lowest, S(150));
}

// A tab's title starts 14 pixels into the strip at 100 % (3 into its tab), times the scale.
TEST_F(BarAtScale, TabTitlesAreWrittenAtTheirScaledPlaces) {
    const qv::testing::NewsSettings settings;
    settings.Text("Rss1", "World^http://127.0.0.1:9/feed.xml");
    SendMessageA(theBar.hwnd(), WM_COMMAND, ID_TOGGLE_NEWS, 0);
    const SkinPixels art = ResourcePixels(IDB_NEWS_TABS + 10000 * SkinSet(dpi));
    SkinPixels strip;
    ASSERT_TRUE(qv::testing::PumpMessagesUntil([&] {
        strip = ReadSkinPixels(reinterpret_cast<HBITMAP>(
            SendMessageA(theNews.Item(IDC_NEWS_TABS), STM_GETIMAGE, IMAGE_BITMAP, 0)));
        return strip.pixels.size() == art.pixels.size() && strip.pixels != art.pixels;
    }));
    int left = strip.width;
    for (int y = 0; y < strip.height; ++y) {
        for (int x = 0; x < strip.width; ++x) {
            const size_t at = size_t(y) * size_t(strip.width) + size_t(x);
            if (strip.pixels[at] != art.pixels[at]) {
                left = std::min(left, x);
            }
        }
    }
    EXPECT_GE(left, S(14) - 1);
    EXPECT_LE(left, S(14) + S(3));
    SendMessageA(theBar.hwnd(), WM_COMMAND, ID_TOGGLE_NEWS, 0);
}

// A change of the display scale from 100 % to 150 % lays the bar and an open panel out again.
TEST_F(BarAtScale, ScaleChangeLaysOutTheBarAndAnOpenPanel) {
    if (dpi != 96) {
        GTEST_SKIP() << "starts from 100 %";
    }
    SendMessageA(theBar.hwnd(), WM_COMMAND, ID_TOGGLE_PLAYLIST, 0);
    ASSERT_TRUE(
        qv::testing::PumpMessagesUntil([] { return ScreenRect(thePlaylist.hwnd()).y == 18; }));
    const qv::testing::NewsSettings settings;
    settings.Text("Rss1", "World^http://127.0.0.1:9/feed.xml");
    RECT suggested{0, 0, 354, 27};
    SendMessageA(theBar.hwnd(), WM_DPICHANGED, MAKEWPARAM(144, 144),
                 reinterpret_cast<LPARAM>(&suggested));
    EXPECT_EQ(ScreenRect(theBar.hwnd()), (PixelRect{screenWidth - 525, 0, 354, 27}));
    EXPECT_EQ(ScreenRect(thePlaylist.hwnd()), (PixelRect{screenWidth - 525 + 24, 27, 279, 288}));
    EXPECT_EQ(ScreenRect(theNews.hwnd()).y, -735); // parked stays parked
    EXPECT_EQ(qv::testing::RectInParent(theNews.Item(IDC_NEWS_BODY)).height, 393);
    RECT news{};
    GetWindowRect(theBar.Item(IDC_BAR_NEWS_HOVER), &news);
    EXPECT_EQ(news.right - news.left, 24);
    EXPECT_EQ(news.bottom - news.top, 27);
    ASSERT_TRUE(BarPainted());
    const ArtComparison shown = CompareBarWithArt(2, 77, 302, 3);
    EXPECT_EQ(shown.differing, 0);
    EXPECT_EQ(shown.blended, 0);
    ExpectPanelSkinsOfSet(2);
    // The tabs' titles are written again, on the strip of the new scale.
    const SkinPixels tabArt = ResourcePixels(IDB_NEWS_TABS + 10000 * 2);
    EXPECT_TRUE(qv::testing::PumpMessagesUntil([&] {
        const SkinPixels tabs = ReadSkinPixels(reinterpret_cast<HBITMAP>(
            SendMessageA(theNews.Item(IDC_NEWS_TABS), STM_GETIMAGE, IMAGE_BITMAP, 0)));
        return tabs.pixels.size() == tabArt.pixels.size() && tabs.pixels != tabArt.pixels;
    }));
    EXPECT_EQ(ScreenRect(theSearchBox.hwnd()).width, 567);
    EXPECT_EQ(ScreenRect(theSearchBox.hwnd()).height, 80);
    RECT corner{};
    GetWindowRect(theNews.Browser().Item(IDC_BROWSER_TOP_LEFT), &corner);
    EXPECT_EQ(corner.right - corner.left, 119); // 79 x 53 at 150 %
    EXPECT_EQ(corner.bottom - corner.top, 80);
    Move(30, 12); // the play button's right edge: 28 at 100 %, 43 at 150 %
    EXPECT_TRUE(Shown(IDC_BAR_PLAY_HOVER));
    Move(44, 12);
    EXPECT_FALSE(Shown(IDC_BAR_PLAY_HOVER));
    // The panel slides at the new scale: parked at -300, open again at 27.
    SendMessageA(theBar.hwnd(), WM_COMMAND, ID_TOGGLE_PLAYLIST, 0);
    ASSERT_TRUE(
        qv::testing::PumpMessagesUntil([] { return ScreenRect(thePlaylist.hwnd()).y == -300; }));
    SendMessageA(theBar.hwnd(), WM_COMMAND, ID_TOGGLE_PLAYLIST, 0);
    ASSERT_TRUE(
        qv::testing::PumpMessagesUntil([] { return ScreenRect(thePlaylist.hwnd()).y == 27; }));
    // A news panel between its parked and open places at 150 % is sliding: a toggle closes it.
    theNews.MoveTo(ScreenRect(theNews.hwnd()).x, -600);
    SendMessageA(theBar.hwnd(), WM_COMMAND, ID_TOGGLE_NEWS, 0);
    EXPECT_TRUE(
        qv::testing::PumpMessagesUntil([] { return ScreenRect(theNews.hwnd()).y == -735; }));
    SendMessageA(theBar.hwnd(), WM_DPICHANGED, MAKEWPARAM(96, 96),
                 reinterpret_cast<LPARAM>(&suggested));
    EXPECT_EQ(ScreenRect(theBar.hwnd()), (PixelRect{screenWidth - 350, 0, 236, 18}));
    EXPECT_EQ(ScreenRect(thePlaylist.hwnd()), (PixelRect{screenWidth - 350 + 16, 18, 186, 192}));
    ASSERT_TRUE(BarPainted());
    EXPECT_EQ(CompareBarWithArt(0, 51, 201, 2).differing, 0);
    ExpectPanelSkinsOfSet(0);
}

// Between two sets (162.5 %, 191.7 %) the larger set is shrunk whole pixel by whole pixel. A
// picture with a colour table keeps it, at a quarter of the memory of 32 bits a pixel; any picture
// shows the same pixels either way. The hover's table starts with the key green, not black.
TEST(SkinArt, APictureShrunkBetweenSetsKeepsItsColourTableAndItsPixels) {
    struct Shrinking {
        int id, dpi, largerSet;
    };
    for (const auto [id, between, largerSet] :
         {Shrinking{IDB_PLAYER_FRAME_SKIN, 156, 3}, Shrinking{IDB_BAR_SKIN, 156, 3},
          Shrinking{IDB_VIDEO_SEARCH_HOVER, 184, 4}}) {
        const UniqueBitmap design(static_cast<HBITMAP>(
            LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id), IMAGE_BITMAP, 0, 0, 0)));
        const UniqueBitmap larger(static_cast<HBITMAP>(
            LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id + largerSet * kSkinSetIdStep),
                       IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
        BITMAP designShape{}, largerShape{}, shrunkShape{};
        ASSERT_TRUE(GetObjectA(design.get(), sizeof designShape, &designShape));
        ASSERT_TRUE(GetObjectA(larger.get(), sizeof largerShape, &largerShape));
        const int width = ScaleLength(designShape.bmWidth, between);
        const int height = ScaleLength(designShape.bmHeight, between);
        const UniqueBitmap shrunk = LoadSkinBitmap(id, between, width, height);
        ASSERT_TRUE(GetObjectA(shrunk.get(), sizeof shrunkShape, &shrunkShape));
        EXPECT_EQ(shrunkShape.bmBitsPixel, largerShape.bmBitsPixel <= 8 ? 8 : 32) << id;
        EXPECT_EQ(ReadSkinPixels(shrunk.get()).pixels,
                  ResampleSkinPixels(ReadSkinPixels(larger.get()), width, height).pixels)
            << id;
    }
}

// Windows stretches the pixels of a program that does not declare itself aware of the scale.
// Wine takes every program as aware whatever it declares, so the declaration is read here: the
// per-monitor forms first, then the older one for Windows 8.1 and before.
TEST(DisplayAwareness, TheManifestDeclaresPerMonitorAwareness) {
    const HMODULE module = GetModuleHandleA(nullptr);
    const HRSRC resource = FindResourceA(module, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));
    ASSERT_NE(resource, nullptr);
    const char* bytes = static_cast<const char*>(LockResource(LoadResource(module, resource)));
    const std::string manifest(bytes, SizeofResource(module, resource));
    EXPECT_NE(manifest.find(">PerMonitorV2, PerMonitor</dpiAwareness>"), std::string::npos);
    EXPECT_NE(manifest.find(">true/pm</dpiAware>"), std::string::npos);
}

} // namespace
