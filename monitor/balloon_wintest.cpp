#include "monitor/balloon_dlg.h"

#include <gtest/gtest.h>

#include <string>

#include "app/singletons.h"
#include "monitor/balloon_layout.h"
#include "monitor/info_panel.h"
#include "monitor/quantity_format.h"
#include "media/media_wintest_support.h"
#include "monitor/test_support.h"
#include "testing/scratch_registry.h"

namespace {

using namespace qv;
using qv::testing::RectInParent;
using qv::testing::ScreenRect;

int Alpha() {
    return qv::testing::LayeredAlpha(theBalloon.hwnd());
}

using Balloon = qv::testing::BarTest;

TEST_F(Balloon, EachSectionHangsUnderItsItem) {
    for (const InfoSection section : kInfoSections) {
        theBar.ShowInfoSection(section);
        EXPECT_EQ(ScreenRect(theBalloon.hwnd()), BalloonRect(section, screenWidth, false))
            << int(section);
        EXPECT_TRUE(theBalloon.IsVisible()) << int(section);
        EXPECT_TRUE(theBalloon.ExStyle() & WS_EX_TOPMOST) << int(section);
    }
    thePlaylist.nowPlaying.isPlaying = true;
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
}

TEST_F(Balloon, FadesInAndOutInStepsOfFifty) {
    std::vector<int> steps;
    for (int i = 0; i < 5; ++i) {
        SendMessageA(theBalloon.hwnd(), WM_TIMER, FadeInTimer, 0);
        steps.push_back(Alpha());
    }
    EXPECT_EQ(steps, (std::vector<int>{50, 100, 150, 200, 230}));
    steps.clear();
    for (int i = 0; i < 5; ++i) {
        SendMessageA(theBalloon.hwnd(), WM_TIMER, FadeOutTimer, 0);
        steps.push_back(Alpha());
    }
    EXPECT_EQ(steps, (std::vector<int>{180, 130, 80, 30, 0}));
    EXPECT_EQ(theBalloon.Alpha(), 0);
}

TEST_F(Balloon, TheFadeStartedLastWins) {
    theBar.ShowInfoSection(InfoSection::Memory);
    qv::testing::PumpMessagesFor(400);
    EXPECT_EQ(Alpha(), 230);
    EXPECT_FALSE(qv::testing::TimerRunning(theBalloon.hwnd(), FadeInTimer));

    theBar.LeaveHotRows();
    qv::testing::PumpMessagesFor(400);
    EXPECT_EQ(Alpha(), 0);
    EXPECT_FALSE(qv::testing::TimerRunning(theBalloon.hwnd(), FadeOutTimer));

    // A fade-out started at once after a fade-in cancels it, and the other way round.
    theBar.ShowInfoSection(InfoSection::Memory);
    theBar.LeaveHotRows();
    qv::testing::PumpMessagesFor(400);
    EXPECT_EQ(Alpha(), 0);
    theBar.LeaveHotRows();
    theBar.ShowInfoSection(InfoSection::Memory);
    qv::testing::PumpMessagesFor(400);
    EXPECT_EQ(Alpha(), 230);
}

TEST_F(Balloon, LeavingTheBarInOneJumpFadesItOut) {
    const PixelRect bar = ScreenRect(theBar.hwnd());
    SetCursorPos(bar.x + 90, bar.y + 7); // over the memory cell
    qv::testing::PumpMessagesFor(400);
    ASSERT_EQ(Alpha(), 230);
    SetCursorPos(bar.x + 90, bar.y + 400); // far below, past the outer rows and the balloon
    qv::testing::PumpMessagesFor(1500);
    EXPECT_EQ(Alpha(), 0);
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

    const std::span<const DWORD> indexes = InterfaceIndexTable();
    for (int32_t position = 0; position < int32_t(indexes.size()); ++position) {
        SelectMonitoredAdapter(position);
        SampleAdapterRates();
        if (MonitoredAdapterRow.dwType != IF_TYPE_SOFTWARE_LOOPBACK) {
            continue;
        }
        const SectionLayout network = InfoSectionLayout(InfoSection::Network, NowPlaying{}, system,
                                                        memory, ReadAdapterAddress(position));
        EXPECT_EQ(network.rows[2].value, "127.0.0.1");
        EXPECT_EQ(network.rows[3].value, "255.0.0.0");
        EXPECT_EQ(network.rows[6].value, FormatSize(float(MonitoredAdapterRow.dwInOctets)).view());
        return;
    }
    ADD_FAILURE() << "no loopback interface";
}

TEST_F(Balloon, TextIsDrawnOnCream) {
    theBar.ShowInfoSection(InfoSection::Processor);
    qv::testing::PumpMessagesFor(200);
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

} // namespace
