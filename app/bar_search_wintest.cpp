// The bar's ways into the web-search box and the help page: the hotkey, the menu commands and
// the web-search icon.
#include "app/quorvel_dlg.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/singletons.h"
#include "monitor/test_support.h"
#include "testing/scratch_registry.h"
#include "testing/browser_capture.h"

namespace {

using namespace qv;

class BarSearch : public qv::testing::BarTest {
protected:
    void SetUp() override {
        RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Quorvel");
        BarTest::SetUp();
    }
    void TearDown() override {
        BarTest::TearDown();
        RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Quorvel");
    }
    void Send(UINT message, int x, int y) const {
        SendMessageA(theBar.hwnd(), message, 0, MAKELPARAM(x, y));
    }
    bool FadingIn() const { return qv::testing::TimerRunning(theSearchBox.hwnd(), 10); }
    bool FadingOut() const { return qv::testing::TimerRunning(theSearchBox.hwnd(), 11); }
    static BYTE Alpha() {
        BYTE alpha = 0;
        GetLayeredWindowAttributes(theSearchBox.hwnd(), nullptr, &alpha, nullptr);
        return alpha;
    }
};

// Wine on X never delivers this hotkey (its key is itself a modifier), so the test posts what
// the system posts for the bar's registration, and watches the box fade in and out.
TEST_F(BarSearch, TheHotkeyFadesTheBoxInAndOut) {
    const LPARAM keys = MAKELPARAM(MOD_CONTROL | MOD_SHIFT, VK_CONTROL);
    PostMessageA(theBar.hwnd(), WM_HOTKEY, 122, keys);
    qv::testing::PumpMessagesFor(100);
    EXPECT_FALSE(theSearchBox.IsVisible()) << "another hotkey's id";
    PostMessageA(theBar.hwnd(), WM_HOTKEY, 123, keys);
    EXPECT_TRUE(qv::testing::PumpMessagesUntil([] { return Alpha() == 230; }, 5000));
    EXPECT_TRUE(theSearchBox.IsVisible());
    PostMessageA(theBar.hwnd(), WM_HOTKEY, 123, keys);
    EXPECT_TRUE(qv::testing::PumpMessagesUntil([] { return !theSearchBox.IsVisible(); }, 5000));
    EXPECT_EQ(Alpha(), 0);
}

TEST_F(BarSearch, TheMenuCommandTogglesTheBox) {
    SendMessageA(theBar.hwnd(), WM_COMMAND, ID_TOGGLE_WEB_SEARCH, 0);
    EXPECT_TRUE(theSearchBox.IsVisible());
    EXPECT_TRUE(FadingIn());
    SendMessageA(theBar.hwnd(), WM_COMMAND, ID_TOGGLE_WEB_SEARCH, 0);
    EXPECT_TRUE(FadingOut());
}

TEST_F(BarSearch, TheWebSearchIconLightsWithinItsBounds) {
    for (const auto& [x, y] : {std::pair{205, 3}, {214, 3}, {205, 12}, {214, 12}}) {
        Send(WM_MOUSEMOVE, 180, 8);
        Send(WM_MOUSEMOVE, x, y);
        EXPECT_TRUE(IsWindowVisible(theBar.Item(IDC_BAR_WEB_SEARCH_HOVER))) << x << "," << y;
    }
    for (const auto& [x, y] : {std::pair{204, 8}, {215, 8}, {210, 2}, {210, 13}}) {
        Send(WM_MOUSEMOVE, 210, 8);
        Send(WM_MOUSEMOVE, x, y);
        EXPECT_FALSE(IsWindowVisible(theBar.Item(IDC_BAR_WEB_SEARCH_HOVER))) << x << "," << y;
    }
}

TEST_F(BarSearch, AClickOnTheWebSearchIconTogglesTheBoxWithinItsBounds) {
    for (const auto& [x, y] : {std::pair{205, 1}, {217, 17}}) {
        Send(WM_LBUTTONUP, x, y);
        EXPECT_TRUE(theSearchBox.IsVisible()) << x << "," << y;
        EXPECT_TRUE(FadingIn()) << x << "," << y;
        theSearchBox.Show(false);
        KillTimer(theSearchBox.hwnd(), 10);
    }
    for (const auto& [x, y] : {std::pair{204, 8}, {218, 8}, {210, 0}, {210, 18}}) {
        Send(WM_LBUTTONUP, x, y);
        EXPECT_FALSE(theSearchBox.IsVisible()) << x << "," << y;
    }
}

TEST_F(BarSearch, TheHelpPageCarriesTheStoredAffiliateNumber) {
    const qv::testing::BrowserCapture browser;
    SendMessageA(theBar.hwnd(), WM_COMMAND, ID_HELP_UPDATE, 0);
    ASSERT_EQ(browser.WaitForUrls(1).size(), 1u);
    size_t opened = 1;
    for (const DWORD affiliate : {DWORD(1234), DWORD(0xFFFFFFFF)}) {
        RegSetKeyValueA(HKEY_CURRENT_USER, "Software\\Quorvel", "Aff", REG_DWORD, &affiliate,
                        sizeof affiliate);
        SendMessageA(theBar.hwnd(), WM_COMMAND, ID_HELP_UPDATE, 0);
        ++opened;
        ASSERT_EQ(browser.WaitForUrls(opened).size(), opened); // one at a time, in order
    }
    EXPECT_EQ(browser.WaitForUrls(3),
              (std::vector<std::string>{"http://www.quorvel.example/quorvel.php?aff=0",
                                        "http://www.quorvel.example/quorvel.php?aff=1234",
                                        "http://www.quorvel.example/quorvel.php?aff=-1"}));
}

} // namespace
