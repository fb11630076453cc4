#include "ui/search_dlg.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "framework/handles.h"
#include "media/media_wintest_support.h"
#include "monitor/test_support.h"
#include "testing/browser_capture.h"
#include "testing/text_pixels.h"
#include "ui/search_layout.h"

namespace {

using qv::CSearchDlg;
using qv::testing::BrowserCapture;
using qv::testing::kCaptureMarkerUrl;
using qv::testing::LayeredAlpha;

// A box made as the bar makes it: layered with the colour key at full opacity, laid out, hidden.
class SearchBox : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(box.Create(nullptr));
        box.SetColorKey(0x00FF00);
        box.MakeLayered(box.ExStyle(), 0x00FF00, 255);
        box.LayOut();
    }
    void TearDown() override { box.Destroy(); }

    HWND Field() const { return box.Item(IDC_SEARCH_EDIT); }
    // Its own visibility: while the box is hidden its children count as hidden too.
    bool Lit() const { return GetWindowLongA(box.Item(IDC_SEARCH_ICON), GWL_STYLE) & WS_VISIBLE; }
    void Tick(UINT_PTR id) const { SendMessageA(box.hwnd(), WM_TIMER, id, 0); }
    void Send(UINT message, int x, int y, UINT flags = 0) const {
        SendMessageA(box.hwnd(), message, flags, MAKELPARAM(x, y));
    }
    bool Running(UINT_PTR id) const { return qv::testing::TimerRunning(box.hwnd(), id); }
    int Alpha() const { return LayeredAlpha(box.hwnd()); }
    void Type(const wchar_t* text) const { SetWindowTextW(Field(), text); }
    void ShowFully() {
        box.ToggleSearchBox();
        for (int i = 0; i < 5; ++i) {
            Tick(10);
        }
    }
    // Keyboard input the way the program's message loop hands it to the dialogs.
    void Press(WPARAM key) const {
        MSG msg{};
        msg.hwnd = Field();
        msg.message = WM_KEYDOWN;
        msg.wParam = key;
        if (!qv::CDialog::RouteDialogMessage(msg)) {
            DispatchMessageA(&msg);
        }
    }

    CSearchDlg box;
};

TEST_F(SearchBox, IsMadeHiddenWithItsFieldAndHighlightInPlace) {
    EXPECT_FALSE(box.IsVisible());
    EXPECT_FALSE(Lit());
    EXPECT_EQ(box.Opacity(), 0);
    EXPECT_EQ(qv::testing::ScreenRect(box.hwnd()).width, 378);
    EXPECT_EQ(qv::testing::ScreenRect(box.hwnd()).height, 53);
    EXPECT_EQ(qv::testing::RectInParent(Field()), (qv::PixelRect{75, 27, 240, 15}));
    EXPECT_EQ(qv::testing::RectInParent(box.Item(IDC_SEARCH_ICON)),
              (qv::PixelRect{325, 21, 30, 28}));

    // A frameless tool window: the picture is all the user sees of it.
    const LONG style = LONG(GetWindowLongA(box.hwnd(), GWL_STYLE));
    EXPECT_TRUE(style & WS_POPUP);
    EXPECT_FALSE(style & (WS_CAPTION | WS_THICKFRAME));
    EXPECT_TRUE(GetWindowLongA(box.hwnd(), GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
    LOGFONTA face{};
    GetObjectA(HGDIOBJ(SendMessageA(box.hwnd(), WM_GETFONT, 0, 0)), sizeof face, &face);
    EXPECT_STREQ(face.lfFaceName, "Segoe UI");
    // The field is drawn on the skin's white strip without a frame, and scrolls as one types.
    const LONG field = LONG(GetWindowLongA(Field(), GWL_STYLE));
    EXPECT_FALSE(field & WS_BORDER);
    EXPECT_FALSE(GetWindowLongA(Field(), GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
    EXPECT_EQ(field & (ES_AUTOHSCROLL | WS_TABSTOP), ES_AUTOHSCROLL | WS_TABSTOP);
    // The skin and the lit magnifier, each at its picture's size.
    const auto pictureSize = [](HWND picture) {
        BITMAP bitmap{};
        GetObjectA(HGDIOBJ(SendMessageA(picture, STM_GETIMAGE, IMAGE_BITMAP, 0)), sizeof bitmap,
                   &bitmap);
        return std::pair{int(bitmap.bmWidth), int(bitmap.bmHeight)};
    };
    EXPECT_EQ(pictureSize(box.Item(IDC_SEARCH_ICON)), std::pair(30, 28));
    bool skinShown = false;
    for (HWND child = GetWindow(box.hwnd(), GW_CHILD); child;
         child = GetWindow(child, GW_HWNDNEXT)) {
        if (GetDlgCtrlID(child) != IDC_SEARCH_ICON && pictureSize(child) == std::pair(378, 53)) {
            skinShown = GetWindowLongA(child, GWL_STYLE) & WS_VISIBLE;
        }
    }
    EXPECT_TRUE(skinShown);
    // Enter and Esc have their buttons, which nobody sees.
    for (const int id : {IDOK, IDCANCEL}) {
        ASSERT_NE(box.Item(id), nullptr) << id;
        EXPECT_FALSE(GetWindowLongA(box.Item(id), GWL_STYLE) & WS_VISIBLE) << id;
    }
    EXPECT_EQ(GetWindowLongA(box.Item(IDOK), GWL_STYLE) & 0xF, BS_DEFPUSHBUTTON);
}

// Nothing is erased under the skin: a default erase would flash the dialog's grey first.
TEST_F(SearchBox, ErasesNothingUnderItsSkin) {
    const qv::testing::EraseOutcome erase = qv::testing::EraseOnRed(box.hwnd());
    EXPECT_TRUE(erase.answer);
    EXPECT_TRUE(erase.canvasUntouched);
}

TEST_F(SearchBox, FadesInThroughFiveStepsToTwoHundredThirty) {
    box.ToggleSearchBox();
    EXPECT_TRUE(box.IsVisible());
    EXPECT_EQ(Alpha(), 0) << "shown at its opacity, not at the full 255 of its creation";
    EXPECT_TRUE(Running(10));
    for (const int expected : {50, 100, 150, 200}) {
        Tick(10);
        EXPECT_EQ(Alpha(), expected);
        EXPECT_TRUE(Running(10)) << expected;
    }
    Tick(10);
    EXPECT_EQ(Alpha(), 230);
    EXPECT_EQ(box.Opacity(), 230);
    EXPECT_FALSE(Running(10));
    EXPECT_TRUE(box.IsVisible());
    COLORREF key = 0;
    DWORD flags = 0;
    GetLayeredWindowAttributes(box.hwnd(), &key, nullptr, &flags);
    EXPECT_EQ(key, COLORREF(0x00FF00));
    EXPECT_EQ(flags, DWORD(LWA_COLORKEY | LWA_ALPHA));
}

TEST_F(SearchBox, FadesOutThroughFiveStepsAndHides) {
    ShowFully();
    box.ToggleSearchBox();
    EXPECT_TRUE(Running(11));
    for (const int expected : {180, 130, 80, 30}) {
        Tick(11);
        EXPECT_EQ(Alpha(), expected);
        EXPECT_TRUE(box.IsVisible()) << expected;
    }
    Tick(11);
    EXPECT_EQ(Alpha(), 0);
    EXPECT_FALSE(box.IsVisible());
    EXPECT_FALSE(Running(11));
}

TEST_F(SearchBox, TheLatestToggleWinsMidFade) {
    box.ToggleSearchBox();
    Tick(10);
    Tick(10);
    box.ToggleSearchBox(); // visible at 100: back out
    EXPECT_FALSE(Running(10));
    EXPECT_TRUE(Running(11));
    Tick(11);
    EXPECT_EQ(Alpha(), 50);
    // A fade-in tick stops the fade-out, and the other way round.
    Tick(10);
    EXPECT_EQ(Alpha(), 100);
    EXPECT_FALSE(Running(11));
    Tick(11);
    EXPECT_FALSE(Running(10));
    for (int i = 0; i < 8; ++i) {
        Tick(11);
        EXPECT_GE(box.Opacity(), 0);
    }
    EXPECT_FALSE(box.IsVisible());
    for (int i = 0; i < 8; ++i) {
        Tick(10);
        EXPECT_LE(box.Opacity(), 230);
    }
}

TEST_F(SearchBox, EnterWithAnEmptyFieldHidesAtOnceAndKeepsTheOpacity) {
    const BrowserCapture browser;
    ShowFully();
    Press(VK_RETURN);
    EXPECT_FALSE(box.IsVisible());
    EXPECT_EQ(Alpha(), 230);
    EXPECT_FALSE(Running(11));
    EXPECT_EQ(browser.UrlsUpToMarker(), std::vector<std::string>{kCaptureMarkerUrl});
    // Shown again, it is straight at its last opacity; the next tick only notices the cap.
    box.ToggleSearchBox();
    EXPECT_TRUE(box.IsVisible());
    EXPECT_EQ(Alpha(), 230);
    Tick(10);
    EXPECT_EQ(Alpha(), 230);
    EXPECT_FALSE(Running(10));
}

// Called from the hotkey while another program is in front: the box comes to the front.
TEST_F(SearchBox, ShowingAgainComesForwardSelectsTheLastQueryAndFocusesTheField) {
    const HWND other = CreateWindowExA(0, "Static", "", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50,
                                       nullptr, nullptr, nullptr, nullptr);
    SetForegroundWindow(other);
    ASSERT_EQ(GetForegroundWindow(), other);
    // Longer than the field, and last seen from its start: shown again, its end is in view.
    const std::wstring query = L"last query " + std::wstring(200, L'x');
    Type(query.c_str());
    SendMessageA(Field(), EM_SETSEL, 0, 0);
    SendMessageA(Field(), EM_SCROLLCARET, 0, 0);
    ASSERT_EQ(SendMessageA(Field(), EM_GETFIRSTVISIBLELINE, 0, 0), 0);
    box.ToggleSearchBox();
    EXPECT_EQ(GetForegroundWindow(), box.hwnd());
    DestroyWindow(other);
    DWORD start = 99, end = 0;
    SendMessageA(Field(), EM_GETSEL, WPARAM(&start), LPARAM(&end));
    EXPECT_EQ(start, 0u);
    EXPECT_EQ(end, DWORD(query.size()));
    EXPECT_GT(SendMessageA(Field(), EM_GETFIRSTVISIBLELINE, 0, 0), 0) << "scrolled to the caret";
    EXPECT_EQ(GetFocus(), Field());
}

TEST_F(SearchBox, EscAndTheCloseMarkFadeOutWithoutSearching) {
    const BrowserCapture browser;
    Type(L"not this");
    ShowFully();
    Press(VK_ESCAPE);
    EXPECT_TRUE(Running(11));
    EXPECT_TRUE(box.IsVisible());
    KillTimer(box.hwnd(), 11);

    ShowFully();
    Send(WM_LBUTTONUP, 355, 5);
    EXPECT_TRUE(Running(11));
    KillTimer(box.hwnd(), 11);
    ShowFully();
    Send(WM_LBUTTONUP, 372, 22);
    EXPECT_TRUE(Running(11));
    KillTimer(box.hwnd(), 11);
    ShowFully();
    Send(WM_LBUTTONUP, 373, 22); // just outside: nothing
    EXPECT_FALSE(Running(11));
    EXPECT_EQ(browser.UrlsUpToMarker(), std::vector<std::string>{kCaptureMarkerUrl});
}

TEST_F(SearchBox, TheMagnifierLightsUnderThePointerAtItsBounds) {
    const HCURSOR hand = LoadCursorA(nullptr, IDC_HAND);
    for (const auto& [x, y] : {std::pair{332, 23}, {354, 43}, {332, 43}, {354, 23}}) {
        Send(WM_MOUSEMOVE, 100, 30);
        EXPECT_FALSE(Lit());
        SetCursor(nullptr);
        Send(WM_MOUSEMOVE, x, y);
        EXPECT_TRUE(Lit()) << x << "," << y;
        EXPECT_EQ(GetCursor(), hand) << x << "," << y;
    }
    for (const auto& [x, y] : {std::pair{331, 23}, {354, 44}, {332, 22}, {340, 50}}) {
        Send(WM_MOUSEMOVE, 340, 30);
        Send(WM_MOUSEMOVE, x, y);
        EXPECT_FALSE(Lit()) << x << "," << y;
    }
}

TEST_F(SearchBox, TheCloseMarkShowsTheHandAndLeavesTheHighlightAsItWas) {
    const HCURSOR hand = LoadCursorA(nullptr, IDC_HAND);
    Send(WM_MOUSEMOVE, 340, 30);
    SetCursor(nullptr);
    Send(WM_MOUSEMOVE, 355, 22); // straight from the magnifier
    EXPECT_TRUE(Lit());
    EXPECT_EQ(GetCursor(), hand);
    Send(WM_MOUSEMOVE, 200, 10);
    SetCursor(nullptr);
    Send(WM_MOUSEMOVE, 372, 5);
    EXPECT_FALSE(Lit());
    EXPECT_EQ(GetCursor(), hand);
    SetCursor(nullptr);
    Send(WM_MOUSEMOVE, 373, 5);
    EXPECT_NE(GetCursor(), hand);
}

// Asked by the system before every move: the hand must not flicker back to the arrow.
TEST_F(SearchBox, TheCursorStaysAHandOverTheZonesAndTheFieldKeepsItsOwn) {
    ShowFully();
    const HCURSOR hand = LoadCursorA(nullptr, IDC_HAND);
    const HCURSOR arrow = LoadCursorA(nullptr, IDC_ARROW);
    const auto setCursorAt = [&](int x, int y, HWND target) {
        POINT point{x, y};
        ClientToScreen(box.hwnd(), &point);
        SetCursorPos(point.x, point.y);
        SetCursor(nullptr);
        return SendMessageA(box.hwnd(), WM_SETCURSOR, WPARAM(target),
                            MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    };
    for (const auto& [x, y] : {std::pair{332, 23}, {354, 43}, {355, 5}, {372, 22}}) {
        EXPECT_TRUE(setCursorAt(x, y, box.hwnd())) << x << "," << y;
        EXPECT_EQ(GetCursor(), hand) << x << "," << y;
    }
    for (const auto& [x, y] : {std::pair{331, 23}, {373, 22}, {20, 20}}) {
        EXPECT_TRUE(setCursorAt(x, y, box.hwnd())) << x << "," << y;
        EXPECT_EQ(GetCursor(), arrow) << x << "," << y;
    }
    EXPECT_FALSE(setCursorAt(100, 30, Field())) << "the field's own I-beam";
    EXPECT_EQ(GetCursor(), nullptr);
}

TEST_F(SearchBox, ButtonsAndModifiersFreezeTheHoverAndAPressPutsTheLightOut) {
    for (const UINT flags : {UINT(MK_SHIFT), UINT(MK_CONTROL), UINT(MK_LBUTTON)}) {
        Send(WM_MOUSEMOVE, 340, 30, flags);
        EXPECT_FALSE(Lit()) << flags;
    }
    Send(WM_MOUSEMOVE, 340, 30);
    Send(WM_MOUSEMOVE, 100, 30, MK_SHIFT);
    EXPECT_TRUE(Lit());
    Send(WM_LBUTTONDOWN, 340, 30, MK_LBUTTON);
    EXPECT_FALSE(Lit());
    Send(WM_LBUTTONUP, 200, 30); // released off the zones: still out, nothing searched
    EXPECT_FALSE(Lit());
    EXPECT_FALSE(Running(11));
    // A release on the magnifier lights it again first, with the hand, whatever it then does.
    ShowFully();
    Send(WM_LBUTTONDOWN, 332, 23, MK_LBUTTON);
    SetCursor(nullptr);
    Send(WM_LBUTTONUP, 332, 23);
    EXPECT_TRUE(Lit());
    EXPECT_EQ(GetCursor(), LoadCursorA(nullptr, IDC_HAND));
}

// What the shell was asked to open, as Wine's browser launcher received it.
TEST_F(SearchBox, OpensTheExactUrlForEachQuery) {
    const std::wstring longQuery(2000, L'q');
    std::string escapedAmpersands;
    for (int i = 0; i < 2000; ++i) {
        escapedAmpersands += "%26";
    }
    const struct {
        std::wstring typed;
        std::string url;
    } cases[] = {
        {L"rock & roll", "http://www.google.com/search?q=rock%20%26%20roll"},
        {L"c# + c++ = 100%", "http://www.google.com/search?q=c%23%20%2B%20c%2B%2B%20%3D%20100%25"},
        {L"caf\u00e9 \u65e5\u672c",
         "http://www.google.com/search?q=caf%C3%A9%20%E6%97%A5%E6%9C%AC"},
        {longQuery, "http://www.google.com/search?q=" + std::string(2000, 'q')},
        {L"a#b&c=d", "http://www.google.com/search?q=a%23b%26c%3Dd"},
        {std::wstring(2000, L'&'), "http://www.google.com/search?q=" + escapedAmpersands},
    };
    const BrowserCapture browser;
    size_t opened = 0;
    for (const auto& query : cases) {
        Type(query.typed.c_str());
        ShowFully();
        SendMessageA(box.hwnd(), WM_COMMAND, IDOK, 0);
        EXPECT_TRUE(Running(11)) << "a search fades the box out";
        ++opened;
        const std::vector<std::string> urls = browser.WaitForUrls(opened);
        ASSERT_EQ(urls.size(), opened);
        EXPECT_EQ(urls.back(), query.url);
        for (int i = 0; i < 5; ++i) {
            Tick(11);
        }
        EXPECT_FALSE(box.IsVisible());
    }
}

// While it lives, the http class's command is the one given (the machine's own class: Wine reads
// no per-user override of it).
class RegisteredHttpCommand {
public:
    explicit RegisteredHttpCommand(const char* command) {
        DWORD size = sizeof saved_;
        RegGetValueA(HKEY_LOCAL_MACHINE, kKey, nullptr, RRF_RT_REG_SZ, nullptr, saved_, &size);
        // One of these left behind by a run that crashed here: a missing program, no "%1".
        if (strstr(saved_, "missing") || !strstr(saved_, "%1")) {
            strcpy(saved_, kWineBrowser);
        }
        Set(command);
    }
    RegisteredHttpCommand(const RegisteredHttpCommand&) = delete;
    RegisteredHttpCommand& operator=(const RegisteredHttpCommand&) = delete;
    ~RegisteredHttpCommand() { Set(saved_); }

private:
    static void Set(const char* command) {
        RegSetKeyValueA(HKEY_LOCAL_MACHINE, kKey, nullptr, REG_SZ, command,
                        DWORD(strlen(command) + 1));
    }
    static constexpr const char* kKey = "Software\\Classes\\http\\shell\\open\\command";
    static constexpr const char* kWineBrowser = "\"C:\\windows\\system32\\winebrowser.exe\" \"%1\"";
    char saved_[512] = {};
};

// A long URL whose browser cannot be started is not handed to Wine's shell, which would overrun
// a buffer and take the program down with it.
TEST_F(SearchBox, ALongQueryWithNoBrowserToRunLeavesTheProgramRunning) {
    const RegisteredHttpCommand missing("\"C:\\missing\\browser.exe\" \"%1\"");
    Type(std::wstring(2000, L'q').c_str());
    ShowFully();
    SendMessageA(box.hwnd(), WM_COMMAND, IDOK, 0);
    EXPECT_EQ(box.SearchText(), std::string(2000, 'q'));
    EXPECT_TRUE(Running(11));
}

// A browser registered with no place for the address in its command gets it after the command.
TEST_F(SearchBox, ALongQueryReachesABrowserRegisteredWithoutAPlaceForTheAddress) {
    const RegisteredHttpCommand command("\"C:\\windows\\system32\\winebrowser.exe\"");
    const BrowserCapture browser;
    Type(std::wstring(2000, L'q').c_str());
    ShowFully();
    SendMessageA(box.hwnd(), WM_COMMAND, IDOK, 0);
    EXPECT_EQ(browser.WaitForUrls(1, 20000),
              std::vector<std::string>{"http://www.google.com/search?q=" + std::string(2000, 'q')});
}

TEST_F(SearchBox, EnterAndTheMagnifierSearch) {
    const BrowserCapture browser;
    Type(L"enter key");
    ShowFully();
    Press(VK_RETURN);
    EXPECT_TRUE(Running(11));
    KillTimer(box.hwnd(), 11);
    ASSERT_EQ(browser.WaitForUrls(1).size(), 1u);

    Type(L"magnifier");
    ShowFully();
    Send(WM_LBUTTONUP, 354, 43);
    EXPECT_TRUE(Running(11));
    EXPECT_EQ(browser.WaitForUrls(2),
              (std::vector<std::string>{"http://www.google.com/search?q=enter%20key",
                                        "http://www.google.com/search?q=magnifier"}));
    EXPECT_EQ(box.SearchText(), "magnifier");
}

} // namespace
