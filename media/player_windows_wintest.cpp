#include <gtest/gtest.h>

#include <vector>

#include "app/bar_wintest_support.h"
#include "app/singletons.h"
#include "media/browser_dlg.h"
#include "media/media_layout.h"
#include "media/media_wintest_support.h"
#include "testing/scratch_registry.h"
#include "testing/text_pixels.h"

namespace {

using namespace qv;
using namespace qv::testing;

class PlayerWindows : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(qv::testing::CreateStartedBar()); }
    void TearDown() override { theBar.Destroy(); }

    // Runs the frame's timer by hand and notes the alpha after each tick.
    std::vector<int> Tick(UINT_PTR timer, int count) {
        std::vector<int> alphas;
        for (int i = 0; i < count; ++i) {
            SendMessageA(thePlayerFrame.hwnd(), WM_TIMER, timer, 0);
            alphas.push_back(LayeredAlpha(thePlayerFrame.hwnd()));
        }
        return alphas;
    }
};

// The frame is a disabled pop-up that never takes input; the browser window over it has no
// caption or border and is neither layered nor shown until the first fade-in ends.
TEST_F(PlayerWindows, FrameFadesInToTwoThirtyAndThenShowsTheBrowserWindow) {
    const HWND frame = thePlayerFrame.hwnd();
    const HWND browser = thePlayerBrowser.hwnd();
    EXPECT_TRUE(HasStyle(frame, WS_POPUP | WS_DISABLED));
    EXPECT_FALSE(HasAnyStyle(frame, WS_CAPTION | WS_THICKFRAME | WS_DLGFRAME));
    EXPECT_TRUE(thePlayerFrame.ExStyle() & WS_EX_TOOLWINDOW);
    EXPECT_EQ(RectInParent(GetWindow(frame, GW_CHILD)), (PixelRect{0, 0, 341, 311}));
    EXPECT_TRUE(HasStyle(browser, WS_POPUP | WS_SYSMENU));
    EXPECT_FALSE(HasAnyStyle(browser, WS_CAPTION | WS_THICKFRAME | WS_DLGFRAME));
    EXPECT_TRUE(thePlayerBrowser.ExStyle() & WS_EX_TOOLWINDOW);
    EXPECT_FALSE(thePlayerBrowser.ExStyle() & WS_EX_LAYERED);
    for (const HWND window : {frame, browser}) {
        EXPECT_FALSE(IsWindowVisible(GetDlgItem(window, IDOK)));
        EXPECT_FALSE(IsWindowVisible(GetDlgItem(window, IDCANCEL)));
    }

    EXPECT_FALSE(thePlayerBrowser.IsVisible());
    EXPECT_EQ(Tick(FadeInTimer, 4), (std::vector<int>{50, 100, 150, 200}));
    EXPECT_EQ(LayeredKeying(frame), kGreenKeyAndAlpha); // its green stays see-through
    EXPECT_FALSE(thePlayerBrowser.IsVisible());
    EXPECT_EQ(Tick(FadeInTimer, 1), (std::vector<int>{230}));
    EXPECT_TRUE(thePlayerBrowser.IsVisible());
    EXPECT_EQ(thePlayerFrame.Alpha(), 230);
}

TEST_F(PlayerWindows, FrameFadesOutToZeroAndStaysShownWithTheBrowserLeftAlone) {
    Tick(FadeInTimer, 5);
    EXPECT_EQ(Tick(FadeOutTimer, 6), (std::vector<int>{180, 130, 80, 30, 0, 0}));
    EXPECT_EQ(LayeredKeying(thePlayerFrame.hwnd()), kGreenKeyAndAlpha);
    EXPECT_TRUE(thePlayerFrame.IsVisible());
    EXPECT_TRUE(thePlayerBrowser.IsVisible()); // its callers hide it
}

TEST_F(PlayerWindows, AFadeReversesFromWhereverItIs) {
    Tick(FadeInTimer, 3);
    EXPECT_EQ(Tick(FadeOutTimer, 1), (std::vector<int>{100}));
    EXPECT_EQ(Tick(FadeInTimer, 1), (std::vector<int>{150}));
}

TEST_F(PlayerWindows, TheLastStartedFadeWins) {
    thePlayerFrame.StartFadeIn();
    thePlayerFrame.StartFadeOut();
    qv::testing::PumpMessagesFor(300);
    qv::testing::PumpMessagesUntil([] { return LayeredAlpha(thePlayerFrame.hwnd()) == 0; });
    EXPECT_EQ(LayeredAlpha(thePlayerFrame.hwnd()), 0);
    thePlayerFrame.StartFadeOut();
    thePlayerFrame.StartFadeIn();
    qv::testing::PumpMessagesFor(300);
    qv::testing::PumpMessagesUntil([] { return LayeredAlpha(thePlayerFrame.hwnd()) == 230; });
    EXPECT_EQ(LayeredAlpha(thePlayerFrame.hwnd()), 230);
    EXPECT_TRUE(thePlayerBrowser.IsVisible());
}

TEST_F(PlayerWindows, KeyboardNeverClosesThem) {
    for (HWND window : {thePlayerFrame.hwnd(), thePlayerBrowser.hwnd()}) {
        SendMessageA(window, WM_COMMAND, IDOK, 0);
        SendMessageA(window, WM_COMMAND, IDCANCEL, 0);
        EXPECT_TRUE(IsWindow(window));
    }
    EXPECT_TRUE(thePlayerFrame.IsVisible());
    EXPECT_EQ(thePlayerBrowser.Item(IDC_PLAYER_BROWSER_CONTROL), thePlayerBrowser.Browser().hwnd());
}

class PageBrowser : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(page.CreateOnDesktop());
        page.MakeLayered(page.ExStyle(), 0x00FF00, 255);
        page.Move(0, 0, 2000, 900);
        page.Show(true);
    }
    void TearDown() override { page.Destroy(); }

    void Send(UINT message, int x, int y, WPARAM flags = 0) {
        SendMessageA(page.hwnd(), message, flags, MAKELPARAM(x, y));
    }

    CBrowserDlg page;
};

TEST_F(PageBrowser, LaysOutItsSkinAndControlForItsSize) {
    for (const ControlPlacement& placement : PageBrowserLayout(2000, 900)) {
        EXPECT_EQ(RectInParent(page.Item(placement.controlId)), placement.rect)
            << placement.controlId;
    }
    EXPECT_EQ(RectInParent(page.Browser().hwnd()).width, 1971);
    EXPECT_FALSE(page.BackHover().IsVisible());
    EXPECT_FALSE(page.ForwardHover().IsVisible());
    // The pieces cover the window: nothing is erased under them.
    const EraseOutcome erase = EraseOnRed(page.hwnd());
    EXPECT_FALSE(erase.answer);
    EXPECT_TRUE(erase.canvasUntouched);
}

TEST_F(PageBrowser, HighlightsFollowThePointerAndAPressHidesThem) {
    Send(WM_MOUSEMOVE, 20, 20);
    EXPECT_TRUE(page.BackHover().IsVisible());
    Send(WM_MOUSEMOVE, 40, 20);
    EXPECT_TRUE(page.ForwardHover().IsVisible());
    EXPECT_TRUE(page.BackHover().IsVisible()); // the other one is left as it was
    Send(WM_MOUSEMOVE, 500, 500, MK_SHIFT);
    EXPECT_TRUE(page.ForwardHover().IsVisible());
    Send(WM_MOUSEMOVE, 500, 500);
    EXPECT_FALSE(page.BackHover().IsVisible());
    EXPECT_FALSE(page.ForwardHover().IsVisible());
    Send(WM_MOUSEMOVE, 20, 20);
    Send(WM_LBUTTONDOWN, 20, 20, MK_LBUTTON);
    EXPECT_FALSE(page.BackHover().IsVisible());

    // The hand over the close mark, up to its edges, only while no key is down.
    EXPECT_TRUE(HandAfter(page.hwnd(), WM_MOUSEMOVE, 2000 - 15, 1));
    EXPECT_TRUE(HandAfter(page.hwnd(), WM_MOUSEMOVE, 2000 - 1, 14));
    EXPECT_FALSE(HandAfter(page.hwnd(), WM_MOUSEMOVE, 2000 - 16, 5));
    EXPECT_FALSE(HandAfter(page.hwnd(), WM_MOUSEMOVE, 2000 - 5, 15));
    EXPECT_FALSE(HandAfter(page.hwnd(), WM_MOUSEMOVE, 2000 - 5, 5, MK_CONTROL));
}

TEST_F(PageBrowser, BackAndForwardWithoutHistoryAreIgnored) {
    Send(WM_LBUTTONUP, 20, 20);
    Send(WM_LBUTTONUP, 50, 30);
    EXPECT_EQ(page.Browser().BackRequests(), 1);
    EXPECT_EQ(page.Browser().ForwardRequests(), 1);
    EXPECT_TRUE(page.IsVisible());
    for (int x = 33; x <= 37; ++x) {
        Send(WM_LBUTTONUP, x, 20);
    }
    EXPECT_EQ(page.Browser().BackRequests(), 1);
    EXPECT_EQ(page.Browser().ForwardRequests(), 1);
    EXPECT_TRUE(page.Browser().Navigations().empty());
}

TEST_F(PageBrowser, CloseHidesItOnABlankPageAndItOpensAgain) {
    page.Navigate("http://news.example/item");
    Send(WM_LBUTTONUP, 2000 - 8, 6);
    EXPECT_FALSE(page.IsVisible());
    EXPECT_EQ(page.Browser().Navigations().back(), "about:blank");
    page.Navigate("http://news.example/next");
    page.Show(true);
    EXPECT_TRUE(page.IsVisible());
    EXPECT_EQ(page.Browser().Navigations().size(), 3u);
}

// The address the control knows is written, in near-white 16-pixel Segoe UI, over the skin that
// first paints the old one out.
TEST_F(PageBrowser, DrawsTheTitleStripOnEveryProgressEvent) {
    page.Navigate("about:blank");
    const RECT strip{76, 13, 2000 - 40, 35};
    const WindowDC shown(page.hwnd());
    const UniqueMemoryDC skin(CreateCompatibleDC(shown.get()));
    const UniqueBitmap skinBits(CreateCompatibleBitmap(shown.get(), 400, 40));
    const SelectGuard selected(skin.get(), skinBits.get());
    RedrawWindow(page.hwnd(), &strip, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    BitBlt(skin.get(), 0, 0, 400, 40, shown.get(), 0, 0, SRCCOPY);
    // A stale address left in the strip must be painted out.
    TextOutA(shown.get(), 80, 16, "http://stale.example/", 21);
    InvalidateRect(page.hwnd(), &strip, TRUE);

    VARIANT arguments[2];
    VariantInit(&arguments[0]);
    VariantInit(&arguments[1]);
    arguments[0].vt = arguments[1].vt = VT_I4;
    DISPPARAMS parameters{arguments, nullptr, 2, 0};
    EXPECT_EQ(page.Browser().EventSink()->Invoke(108, IID_NULL, 0, DISPATCH_METHOD, &parameters,
                                                 nullptr, nullptr, nullptr),
              S_OK);
    EXPECT_FALSE(WaitsForPaint(page.hwnd()));
    const UniqueFont font = CreateFaceFont("Segoe UI", 16, FW_NORMAL);
    EXPECT_EQ(qv::testing::TextPixelsDiffer(shown.get(), skin.get(), 80, 16, "about:blank",
                                            {font.get(), RGB(250, 250, 250)}),
              0);
    EXPECT_EQ(SendMessageA(page.hwnd(), WM_ERASEBKGND, 0, 0), 0);
}

} // namespace
