#include "monitor/test_support.h"

#include "app/singletons.h"

namespace qv::testing {

void BarTest::SetUp() {
    ASSERT_TRUE(theBar.Create(nullptr));
    KillTimer(theBar.hwnd(), BarRefreshTimer);
    screenWidth = GetSystemMetrics(SM_CXSCREEN);
}

void BarTest::TearDown() {
    theBar.Destroy();
}

bool TimerRunning(HWND window, UINT_PTR id) {
    if (!KillTimer(window, id)) {
        return false;
    }
    SetTimer(window, id, 1000, nullptr);
    return true;
}

} // namespace qv::testing
