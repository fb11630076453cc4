#include "monitor/balloon_dlg.h"

#include <gtest/gtest.h>

#include <string>

#include "app/singletons.h"
#include "framework/list_rows.h"
#include "media/media_wintest_support.h"
#include "monitor/balloon_layout.h"
#include "monitor/info_panel.h"
#include "monitor/quantity_format.h"
#include "monitor/test_support.h"
#include "testing/scratch_registry.h"
#include "testing/text_pixels.h"

namespace {

using namespace qv;
using qv::testing::RectInParent;
using qv::testing::ScreenRect;

int Alpha() {
    return qv::testing::LayeredAlpha(theBalloon.hwnd());
}

// The balloon's opacity once its fade has run: a fade is given the time it takes, however
// loaded the machine, after a while in which a fade that should not happen would show.
int AlphaAfterFade(int expected, DWORD atLeast = 400) {
    qv::testing::PumpMessagesFor(atLeast);
    qv::testing::PumpMessagesUntil([expected] { return Alpha() == expected; });
    return Alpha();
}

using Balloon = qv::testing::BarTest;

TEST_F(Balloon, EachSectionHangsUnderItsItem) {
    for (const InfoSection section : kInfoSections) {
        theBar.ShowInfoSection(section);
        EXPECT_EQ(ScreenRect(theBalloon.hwnd()), BalloonRect(section, screenWidth, false))
            << int(section);
        EXPECT_TRUE(theBalloon.IsVisible()) << int(section);
        EXPECT_TRUE(theBalloon.ExStyle() & WS_EX_TOPMOST) << int(section);
        EXPECT_TRUE(qv::testing::TimerRunning(theBalloon.hwnd(), 10)) << int(section);
    }
    const qv::testing::FileBesideProgram page{"ut.html"};
    AddRow(thePlaylist.NameList(), L"1. Jazz");
    AddRow(thePlaylist.LinkList(), L"http://radio/jazz.asx");
    SelectRow(thePlaylist.NameList(), 0);
    thePlaylist.StartPlayback(PlayerVariant::WindowsMedia);
    ASSERT_TRUE(thePlaylist.Playback().isPlaying);
    theBar.ShowInfoSection(InfoSection::Media);
    EXPECT_EQ(ScreenRect(theBalloon.hwnd()).height, 130);
    // A hover leaves the keyboard where it was.
    EXPECT_NE(GetActiveWindow(), theBalloon.hwnd());
}

TEST_F(Balloon, ImagesFollowItsHeight) {
    theBar.ShowInfoSection(InfoSection::Network);
    EXPECT_EQ(RectInParent(theBalloon.Item(IDC_BALLOON_BOTTOM)), (PixelRect{0, 220 - 28, 245, 28}));
    EXPECT_EQ(RectInParent(theBalloon.Item(IDC_BALLOON_MIDDLE)).y, 25);
    EXPECT_GE(RectInParent(theBalloon.Item(IDC_BALLOON_MIDDLE)).height, 220 - 25);
    theBar.ShowInfoSection(InfoSection::Processor);
    EXPECT_EQ(RectInParent(theBalloon.Item(IDC_BALLOON_BOTTOM)), (PixelRect{0, 159 - 28, 245, 28}));
    // The images cover it whole: nothing is erased under them, and the system is told so.
    const qv::testing::EraseOutcome erase = qv::testing::EraseOnRed(theBalloon.hwnd());
    EXPECT_EQ(erase.answer, 0);
    EXPECT_TRUE(erase.canvasUntouched);
}

TEST_F(Balloon, FadesInAndOutInStepsOfFifty) {
    std::vector<int> steps;
    for (int i = 0; i < 5; ++i) {
        SendMessageA(theBalloon.hwnd(), WM_TIMER, 10, 0);
        steps.push_back(Alpha());
    }
    EXPECT_EQ(steps, (std::vector<int>{50, 100, 150, 200, 230}));
    steps.clear();
    for (int i = 0; i < 5; ++i) {
        SendMessageA(theBalloon.hwnd(), WM_TIMER, 11, 0);
        steps.push_back(Alpha());
    }
    EXPECT_EQ(steps, (std::vector<int>{180, 130, 80, 30, 0}));
    EXPECT_EQ(theBalloon.Alpha(), 0);
}

TEST_F(Balloon, TheFadeStartedLastWins) {
    theBar.ShowInfoSection(InfoSection::Memory);
    EXPECT_EQ(AlphaAfterFade(230), 230);
    EXPECT_FALSE(qv::testing::TimerRunning(theBalloon.hwnd(), FadeInTimer));

    theBar.LeaveHotRows();
    EXPECT_EQ(AlphaAfterFade(0), 0);
    EXPECT_FALSE(qv::testing::TimerRunning(theBalloon.hwnd(), FadeOutTimer));

    // A fade-out started at once after a fade-in cancels it, and the other way round.
    theBar.ShowInfoSection(InfoSection::Memory);
    theBar.LeaveHotRows();
    EXPECT_EQ(AlphaAfterFade(0), 0);
    theBar.LeaveHotRows();
    theBar.ShowInfoSection(InfoSection::Memory);
    EXPECT_EQ(AlphaAfterFade(230), 230);
}

TEST_F(Balloon, LeavingTheBarInOneJumpFadesItOut) {
    const PixelRect bar = ScreenRect(theBar.hwnd());
    SetCursorPos(bar.x + 90, bar.y + 7); // over the memory cell
    ASSERT_EQ(AlphaAfterFade(230), 230);
    SetCursorPos(bar.x + 90, bar.y + 400); // far below, past the outer rows and the balloon
    EXPECT_EQ(AlphaAfterFade(0, 1500), 0);
    EXPECT_FALSE(qv::testing::TimerRunning(theBar.hwnd(), SectionTimerId(InfoSection::Memory)));
}

TEST_F(Balloon, PointerEnteringHidesIt) {
    theBar.ShowInfoSection(InfoSection::Processor);
    SendMessageA(theBalloon.hwnd(), WM_MOUSEMOVE, 0, MAKELPARAM(40, 60));
    EXPECT_FALSE(theBalloon.IsVisible());
}

TEST_F(Balloon, OnlyTheShownSectionRepaintsEachSecond) {
    theBar.ShowInfoSection(InfoSection::Memory);
    EXPECT_TRUE(qv::testing::TimerRunning(theBar.hwnd(), SectionTimerId(InfoSection::Memory)));
    theBar.ShowInfoSection(InfoSection::Network);
    EXPECT_FALSE(qv::testing::TimerRunning(theBar.hwnd(), SectionTimerId(InfoSection::Memory)));
    EXPECT_TRUE(qv::testing::TimerRunning(theBar.hwnd(), SectionTimerId(InfoSection::Network)));
    theBar.LeaveHotRows();
    for (const InfoSection section : kInfoSections) {
        EXPECT_FALSE(qv::testing::TimerRunning(theBar.hwnd(), SectionTimerId(section)))
            << int(section);
    }
}

TEST_F(Balloon, SectionsShowTheMachinesOwnFigures) {
    SYSTEM_INFO system{};
    GetSystemInfo(&system);
    MEMORYSTATUSEX memory{};
    memory.dwLength = sizeof memory;
    ASSERT_TRUE(GlobalMemoryStatusEx(&memory));

    const SectionLayout memorySection =
        InfoSectionLayout(InfoSection::Memory, NowPlaying{}, system, memory, {});
    EXPECT_EQ(memorySection.rows[0].value, FormatSize(float(memory.ullTotalPhys)).view());
    EXPECT_EQ(memorySection.rows[5].value, FormatSize(float(memory.ullTotalVirtual)).view());

    const SectionLayout processor =
        InfoSectionLayout(InfoSection::Processor, NowPlaying{}, system, memory, {});
    EXPECT_EQ(processor.rows[3].value,
              std::to_string(reinterpret_cast<intptr_t>(system.lpMaximumApplicationAddress)));
    EXPECT_EQ(processor.rows[4].value, std::to_string(system.dwNumberOfProcessors));

    EXPECT_EQ(InfoSectionLayout(InfoSection::Media, NowPlaying{}, system, memory, {}).heading,
              "Stopped");

    const std::optional<int32_t> loopback = qv::testing::PositionOfType(IF_TYPE_SOFTWARE_LOOPBACK);
    ASSERT_TRUE(loopback);
    AdapterMonitor adapter;
    adapter.UseTable(ReadInterfaceIndexes());
    adapter.Select(*loopback);
    adapter.Take();
    const SectionLayout network = InfoSectionLayout(InfoSection::Network, NowPlaying{}, system,
                                                    memory, adapter.Figures(adapter.ReadAddress()));
    EXPECT_EQ(network.rows[2].value, "127.0.0.1");
    EXPECT_EQ(network.rows[3].value, "255.0.0.0");
    EXPECT_NE(adapter.ReceivedOctets(), 0u);
    EXPECT_EQ(network.rows[6].value, FormatSize(float(adapter.ReceivedOctets())).view());
}

TEST_F(Balloon, TextIsDrawnOnCream) {
    theBar.ShowInfoSection(InfoSection::Processor);
    AlphaAfterFade(230, 200);
    theBar.PaintInfoSection(InfoSection::Processor);
    const WindowDC balloon(theBalloon.hwnd());
    int dark = 0;
    for (int y = 25; y < 43; ++y) {
        for (int x = 5; x < 200; ++x) {
            dark += GetPixel(balloon.get(), x, y) == RGB(0, 0, 0);
        }
    }
    EXPECT_GT(dark, 100); // the bold heading
    EXPECT_EQ(GetPixel(balloon.get(), 10, 150), kBalloonCream);
    EXPECT_EQ(GetPixel(balloon.get(), 200, 50), kBalloonCream);
}

constexpr COLORREF kCream = RGB(255, 255, 225);

// Reads the balloon's texts as the screen shows them, against references drawn in the faces,
// heights and weights the balloon's texts have: black on boxes of cream.
class BalloonText : public Balloon {
protected:
    template <class Text> int Differs(int x, int y, Text text, HFONT font) const {
        const WindowDC balloon(theBalloon.hwnd());
        return qv::testing::TextPixelsDiffer(balloon.get(), balloon.get(), x, y, text,
                                             {font, RGB(0, 0, 0), true, kCream, 15});
    }
    const UniqueFont heading = CreateFaceFont("Segoe UI", 18, FW_BOLD);
    const UniqueFont normal = CreateFaceFont("Segoe UI", 16, FW_NORMAL);
};

TEST_F(BalloonText, HeadingLabelsAndValuesStandInTheirColumnsAndFonts) {
    // From the memory cell's balloon to the CPU cell's, one pixel shorter: the images laid out
    // for the new height paint at once, under the texts, not over them later. The section's own
    // repaint is stopped, so what shows is what the hover drew.
    SendMessageA(theBar.hwnd(), WM_MOUSEMOVE, 0, MAKELPARAM(100, 8));
    AlphaAfterFade(230, 200);
    SendMessageA(theBar.hwnd(), WM_MOUSEMOVE, 0, MAKELPARAM(60, 8)); // the CPU cell
    KillTimer(theBar.hwnd(), 3);
    AlphaAfterFade(230, 200);
    SYSTEM_INFO system{};
    GetSystemInfo(&system);
    EXPECT_EQ(Differs(5, 25, "Processor Information", heading.get()), 0);
    EXPECT_EQ(Differs(5, 70, "Page Size", normal.get()), 0);
    EXPECT_EQ(Differs(145, 70, std::to_string(system.dwPageSize), normal.get()), 0);
    EXPECT_EQ(Differs(5, 130, "Processor Level", normal.get()), 0);
    EXPECT_EQ(Differs(145, 130, std::to_string(system.wProcessorLevel), normal.get()), 0);
}

TEST_F(BalloonText, EachSectionTimerRepaintsItsOwnSection) {
    SendMessageA(theBar.hwnd(), WM_MOUSEMOVE, 0, MAKELPARAM(130, 8)); // the network cell
    AlphaAfterFade(230, 200);
    const std::pair<UINT_PTR, const char*> timers[] = {{5, "Network Information"},
                                                       {2, "Stopped"},
                                                       {3, "Processor Information"},
                                                       {4, "Memory Information: ( "},
                                                       {5, "Network Information"}};
    for (const auto& [id, text] : timers) {
        SendMessageA(theBar.hwnd(), WM_TIMER, id, 0);
        EXPECT_EQ(Differs(5, 25, text, heading.get()), 0) << id;
    }
    EXPECT_EQ(Differs(5, 55, "Adapter", normal.get()), 0);
    EXPECT_EQ(Differs(5, 85, "IP Address", normal.get()), 0);
}

// A title playing in any script stands in the media section as itself, cut by characters.
TEST_F(BalloonText, APlayingTitleInAnyScriptShowsAsItself) {
    const qv::testing::FileBesideProgram page{"ut.html"};
    AddRow(thePlaylist.NameList(), L"1. Ειδήσεις και Новости");
    AddRow(thePlaylist.LinkList(), L"http://radio/news.asx");
    SelectRow(thePlaylist.NameList(), 0);
    thePlaylist.StartPlayback(PlayerVariant::WindowsMedia);
    theBar.ShowInfoSection(InfoSection::Media);
    AlphaAfterFade(230, 200);
    SendMessageA(theBar.hwnd(), WM_TIMER, 2, 0);
    EXPECT_EQ(Differs(5, 25, L"Playing 1. Ειδήσεις και Ново...", heading.get()), 0);
    thePlaylist.StopPlayback();
}

// Long labels stop before their values and long values before the balloon's edge, each cut
// with an ellipsis; a wide face shows it plainly.
TEST(BalloonColumns, WideTextsAreCutInsideTheirColumns) {
    const UniqueFont bold = CreateFaceFont("DejaVu Sans", 18, FW_BOLD);
    const UniqueFont normal = CreateFaceFont("DejaVu Sans", 16, FW_NORMAL);
    const UniqueMemoryDC dc(CreateCompatibleDC(nullptr));
    BITMAPINFO info{};
    info.bmiHeader = {sizeof info.bmiHeader, 245, -100, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    const UniqueBitmap bitmap(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    const SelectGuard selected(dc.get(), bitmap.get());
    const RECT whole{0, 0, 245, 100};
    const UniqueBrush cream(CreateSolidBrush(kCream));
    FillRect(dc.get(), &whole, cream.get());
    DrawInfoSection(dc.get(),
                    {"Memory Information: ( 100% used ) of a long heading",
                     145,
                     {{"Highest Memory Address", "140737488289791140737"},
                      {"Processor Architecture", "x64 (AMD or Intel)"}}},
                    bold.get(), normal.get());
    const auto anyText = [&dc](int left, int right, int top, int bottom) {
        for (int y = top; y < bottom; ++y) {
            for (int x = left; x < right; ++x) {
                if (GetPixel(dc.get(), x, y) != kCream) {
                    return true;
                }
            }
        }
        return false;
    };
    EXPECT_FALSE(anyText(142, 145, 55, 85)) << "labels stop before the value column";
    EXPECT_FALSE(anyText(241, 245, 25, 85)) << "texts stop before the right border";
    EXPECT_TRUE(anyText(125, 142, 55, 70)) << "a label is cut, not dropped";
    EXPECT_TRUE(anyText(225, 241, 55, 70)) << "a value is cut, not dropped";
    EXPECT_TRUE(anyText(225, 241, 25, 43)) << "the heading is cut, not dropped";
}

} // namespace
