#include <winsock2.h>

#include <gtest/gtest.h>

#include "app/singletons.h"
#include "media/media_wintest_support.h"
#include "monitor/adapter_monitor.h"
#include "monitor/cpu_sampler.h"
#include "monitor/test_support.h"
#include "testing/scratch_registry.h"

namespace {

using namespace qv;
using qv::testing::ScreenRect;

void SendDisplayChange() {
    SendMessageA(theBar.hwnd(), WM_DISPLAYCHANGE, 32,
                 MAKELPARAM(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)));
}

void SendSettingChange(UINT action) {
    SendMessageA(theBar.hwnd(), WM_SETTINGCHANGE, action, 0);
}

void SendPowerEvent(WPARAM event) {
    SendMessageA(theBar.hwnd(), WM_POWERBROADCAST, event, 0);
}

class BarScreen : public qv::testing::BarTest {
protected:
    PixelRect Home() const { return {screenWidth - 350, 0, 236, 18}; }
};

TEST_F(BarScreen, DisplayAndWorkAreaChangesSendTheBarHome) {
    const bool topmost = theBar.ExStyle() & WS_EX_TOPMOST;
    theBar.MoveTo(5, 300);
    SendDisplayChange();
    EXPECT_EQ(ScreenRect(theBar.hwnd()), Home());
    EXPECT_EQ(bool(theBar.ExStyle() & WS_EX_TOPMOST), topmost);

    theBar.MoveTo(5, 300);
    SendSettingChange(SPI_SETDESKWALLPAPER); // not a change of the screen's room
    EXPECT_EQ(ScreenRect(theBar.hwnd()).x, 5);
    SendSettingChange(SPI_SETWORKAREA);
    EXPECT_EQ(ScreenRect(theBar.hwnd()), Home());
}

// The screen of the test cannot change size: windows left at a stale place stand for those
// placed for the old screen.
TEST_F(BarScreen, OpenPanelsAndThePlayerMoveWithTheBar) {
    SendMessageA(theBar.hwnd(), WM_COMMAND, ID_TOGGLE_PLAYLIST, 0);
    SendMessageA(theBar.hwnd(), WM_COMMAND, ID_TOGGLE_NEWS, 0);
    ASSERT_TRUE(qv::testing::PumpMessagesUntil([] {
        return ScreenRect(thePlaylist.hwnd()).y == 18 && ScreenRect(theNews.hwnd()).y == 0;
    }));
    thePlaylist.MoveTo(40, 18);
    theNews.MoveTo(60, 0);
    thePlayerFrame.MoveTo(3, 3);
    thePlayerBrowser.MoveTo(4, 4);
    theSearchBox.MoveTo(1, 1);
    theBar.MoveTo(5, 300);
    qv::testing::PumpMessagesFor(300); // no slide step is left to put them back
    ASSERT_EQ(ScreenRect(thePlaylist.hwnd()).x, 40);
    ASSERT_EQ(ScreenRect(theNews.hwnd()).x, 60);

    SendDisplayChange();
    EXPECT_EQ(ScreenRect(thePlaylist.hwnd()), (PixelRect{screenWidth - 350 + 16, 18, 186, 192}));
    EXPECT_EQ(ScreenRect(theNews.hwnd()), (PixelRect{screenWidth - 350 - 263 + 5, 0, 263, 300}));
    EXPECT_EQ(ScreenRect(thePlayerFrame.hwnd()), (PixelRect{screenWidth - 350, 18, 341, 311}));
    EXPECT_EQ(ScreenRect(thePlayerBrowser.hwnd()), (PixelRect{screenWidth - 343, 40, 320, 269}));
    const int screenHeight = GetSystemMetrics(SM_CYSCREEN);
    EXPECT_EQ(ScreenRect(theSearchBox.hwnd()),
              (PixelRect{(screenWidth - 378) / 2, (screenHeight - 53) / 2, 378, 53}));
}

// A stand-in for the system query: four processors, the counters the test sets.
struct SleepingSystem {
    static constexpr uint64_t kSecond = 10'000'000;
    // A zero idle time reads as no reading yet.
    static inline uint64_t idleTime = 50 * kSecond;
    static inline uint64_t currentTime = 1000 * kSecond;

    static NTSTATUS NTAPI Query(ULONG infoClass, void* buffer, ULONG length, ULONG*) {
        switch (infoClass) {
        case 0:
            static_cast<SYSTEM_BASIC_INFORMATION*>(buffer)->NumberOfProcessors = 4;
            return 0;
        case 8:
            return qv::testing::SpreadIdleTime(buffer, length, idleTime);
        case 3:
            static_cast<SYSTEM_TIMEOFDAY_INFORMATION*>(buffer)->CurrentTime.QuadPart =
                LONGLONG(currentTime);
            return 0;
        }
        return 0xC0000003;
    }

    // One second with one processor of four busy.
    static void Second() {
        idleTime += 3 * kSecond;
        currentTime += kSecond;
    }
    // An hour asleep: the clock runs on, no processor idles.
    static void Sleep() { currentTime += 3600 * kSecond; }
};

TEST_F(BarScreen, TheFirstLoadAfterAResumeIsNotMadeOfTheTimeAsleep) {
    TheCpuSampler().Init(&SleepingSystem::Query);
    SampleCpuLoad();
    SleepingSystem::Second();
    EXPECT_DOUBLE_EQ(SampleCpuLoad(), 25.5);

    SleepingSystem::Sleep();
    SendPowerEvent(PBT_APMRESUMEAUTOMATIC);
    EXPECT_DOUBLE_EQ(SampleCpuLoad(), 25.5);                 // the load before the sleep stands
    SleepingSystem::idleTime += 4 * SleepingSystem::kSecond; // an idle second
    SleepingSystem::currentTime += SleepingSystem::kSecond;
    EXPECT_DOUBLE_EQ(SampleCpuLoad(), 0.5);

    // Other power events leave the interval alone.
    SleepingSystem::Sleep();
    SendPowerEvent(PBT_APMPOWERSTATUSCHANGE);
    EXPECT_DOUBLE_EQ(SampleCpuLoad(), 100.5);
}

TEST_F(BarScreen, TheFirstRatesAfterAResumeAreNotMadeOfTheTimeAsleep) {
    const std::optional<int32_t> loopback = qv::testing::PositionOfType(IF_TYPE_SOFTWARE_LOOPBACK);
    ASSERT_TRUE(loopback);
    AdapterMonitor& adapter = theBar.Adapter();
    adapter.Select(*loopback);
    adapter.Sample();
    ASSERT_TRUE(adapter.AwaitReading());

    qv::testing::SendOverLoopback(200, 1000); // traffic counted while the bar slept
    SendPowerEvent(PBT_APMRESUMEAUTOMATIC);
    EXPECT_EQ(adapter.Sample(), "0 B/0 B");
    ASSERT_TRUE(adapter.AwaitReading());
    const RateText next = adapter.Sample();
    EXPECT_EQ(next.view().find(" KB/"), std::string_view::npos) << next;
}

} // namespace
