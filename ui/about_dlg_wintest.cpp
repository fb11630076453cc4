#include "ui/about_dlg.h"

#include <gtest/gtest.h>

#include <string>

#include "framework/handles.h"
#include "media/media_wintest_support.h"
#include "testing/scratch_registry.h"
#include "testing/text_pixels.h"

namespace {

using qv::CAboutDlg;

class AboutBox : public ::testing::Test {
protected:
    void SetUp() override {
        owner = CreateWindowExA(0, "Static", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr,
                                nullptr);
        ASSERT_TRUE(box.Create(owner));
    }
    void TearDown() override {
        box.Destroy();
        DestroyWindow(owner);
    }

    std::string Text(int id) const {
        char text[256] = {};
        GetDlgItemTextA(box.hwnd(), id, text, sizeof text);
        return text;
    }
    // The title as the screen shows it: black on the dialog's face, in a reference font made
    // from the face, height and weight it must have.
    int TitlePixelsDifferFrom(const char* face, int height, int weight) const {
        const HWND title = box.Item(IDC_ABOUT_TITLE);
        UpdateWindow(box.hwnd());
        const qv::WindowDC dc(title);
        const qv::UniqueFont reference = qv::CreateFaceFont(face, height, weight);
        return qv::testing::TextPixelsDiffer(
            dc.get(), dc.get(), 0, 0, "Quorvel Version 1.0",
            {reference.get(), GetSysColor(COLOR_WINDOWTEXT), true, GetSysColor(COLOR_3DFACE)});
    }
    // The face the system found for the title's font.
    std::string TitleFace() const {
        const HWND title = box.Item(IDC_ABOUT_TITLE);
        const qv::WindowDC dc(title);
        const qv::SelectGuard font(dc.get(), HGDIOBJ(SendMessageA(title, WM_GETFONT, 0, 0)));
        char face[LF_FACESIZE] = {};
        GetTextFaceA(dc.get(), sizeof face, face);
        return face;
    }
    void ShowAndCheck() {
        box.ShowWithTitleFont("Segoe UI");
        ASSERT_TRUE(box.IsVisible());
        EXPECT_EQ(TitleFace(), "Segoe UI");
        EXPECT_EQ(TitlePixelsDifferFrom("Segoe UI", 25, FW_BOLD), 0);
        // What the reference font shares with the title's, and the pixels cannot tell.
        LOGFONTA title{};
        GetObjectA(HGDIOBJ(SendMessageA(box.Item(IDC_ABOUT_TITLE), WM_GETFONT, 0, 0)), sizeof title,
                   &title);
        EXPECT_EQ(title.lfHeight, 25);
        EXPECT_EQ(title.lfWeight, FW_BOLD);
        EXPECT_FALSE(title.lfItalic || title.lfUnderline || title.lfStrikeOut);
        EXPECT_EQ(title.lfCharSet, ANSI_CHARSET);
        EXPECT_EQ(title.lfQuality, CLEARTYPE_QUALITY);
        EXPECT_EQ(title.lfPitchAndFamily, FF_SWISS | DEFAULT_PITCH);
    }

    HWND owner = nullptr;
    CAboutDlg box;
};

// The first child the test accepts.
template <typename Test> HWND ChildWhere(HWND parent, Test test) {
    for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (test(child)) {
            return child;
        }
    }
    return nullptr;
}

HWND ChildWithText(HWND parent, const char* text) {
    return ChildWhere(parent, [text](HWND child) {
        char own[256] = {};
        GetWindowTextA(child, own, sizeof own);
        return std::string(own) == text;
    });
}

TEST_F(AboutBox, IsMadeHiddenWithItsLines) {
    EXPECT_FALSE(box.IsVisible());
    EXPECT_EQ(box.Text(), L"About Quorvel");
    EXPECT_EQ(Text(IDC_ABOUT_TITLE), "Quorvel Version 1.0");
    EXPECT_EQ(Text(IDOK), "OK");
    EXPECT_EQ(Text(IDC_ABOUT_WEB_ADDRESS), "http://www.quorvel.example/");
    EXPECT_EQ(Text(IDC_ABOUT_EMAIL), "support@quorvel.example");
    EXPECT_EQ(GetWindow(box.hwnd(), GW_OWNER), owner);
    EXPECT_TRUE(GetWindowLongA(box.Item(IDC_ABOUT_TITLE), GWL_STYLE) & SS_NOPREFIX);
    const LONG style = LONG(GetWindowLongA(box.hwnd(), GWL_STYLE));
    EXPECT_EQ(style & (WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME),
              WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME);
    EXPECT_EQ(GetWindowLongA(box.Item(IDOK), GWL_STYLE) & 0xF, BS_DEFPUSHBUTTON);

    // The template's size and lines, in dialog units of its own 8-point Segoe UI.
    LOGFONTA face{};
    GetObjectA(HGDIOBJ(SendMessageA(box.hwnd(), WM_GETFONT, 0, 0)), sizeof face, &face);
    EXPECT_STREQ(face.lfFaceName, "Segoe UI");
    EXPECT_EQ(face.lfHeight,
              -MulDiv(8, GetDeviceCaps(qv::WindowDC(box.hwnd()).get(), LOGPIXELSY), 72));
    const auto inPixels = [this](RECT units) {
        MapDialogRect(box.hwnd(), &units);
        return qv::PixelRect{units.left, units.top, units.right, units.bottom};
    };
    const qv::PixelRect size = inPixels({0, 0, 219, 82});
    EXPECT_EQ(box.ClientRect().right, size.width);
    EXPECT_EQ(box.ClientRect().bottom, size.height);
    EXPECT_EQ(qv::testing::RectInParent(box.Item(IDC_ABOUT_WEB_ADDRESS)),
              inPixels({7, 56, 158, 8}));
    EXPECT_EQ(qv::testing::RectInParent(box.Item(IDC_ABOUT_EMAIL)), inPixels({35, 67, 125, 8}));
    EXPECT_EQ(qv::testing::RectInParent(box.Item(IDOK)), inPixels({168, 62, 44, 13}));
    const std::pair<const char*, RECT> lines[] = {
        {"Email:", {7, 67, 26, 8}},
        {"Your desktop companion", {41, 24, 119, 8}},
        {"Copyright (C) 2024 Quorvel Software. All rights reserved.", {7, 44, 205, 8}}};
    for (const auto& [text, units] : lines) {
        const HWND line = ChildWithText(box.hwnd(), text);
        ASSERT_NE(line, nullptr) << text;
        EXPECT_EQ(qv::testing::RectInParent(line), inPixels(units)) << text;
    }
    // The icon keeps its own size; it sits at the template's corner.
    const HWND icon = ChildWhere(box.hwnd(), [](HWND child) {
        return (GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON;
    });
    ASSERT_NE(icon, nullptr);
    EXPECT_TRUE(GetWindowLongA(icon, GWL_STYLE) & WS_VISIBLE);
    EXPECT_NE(SendMessageA(icon, STM_GETICON, 0, 0), 0);
    const qv::PixelRect corner = inPixels({7, 7, 0, 0});
    EXPECT_EQ(qv::testing::RectInParent(icon).x, corner.x);
    EXPECT_EQ(qv::testing::RectInParent(icon).y, corner.y);
}

TEST_F(AboutBox, OkHidesItAndItShowsAgainWithTheLargeBoldTitle) {
    ShowAndCheck();
    SendMessageA(box.hwnd(), WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), LPARAM(box.Item(IDOK)));
    EXPECT_FALSE(box.IsVisible());
    EXPECT_TRUE(IsWindow(box.hwnd())) << "hidden, not destroyed";
    ShowAndCheck();
}

TEST_F(AboutBox, EscHidesIt) {
    ShowAndCheck();
    MSG msg{};
    msg.hwnd = box.Item(IDOK);
    msg.message = WM_KEYDOWN;
    msg.wParam = VK_ESCAPE;
    if (!qv::CDialog::RouteDialogMessage(msg)) {
        DispatchMessageA(&msg);
    }
    qv::testing::PumpMessagesFor(50);
    EXPECT_FALSE(box.IsVisible());
    ShowAndCheck();
}

TEST_F(AboutBox, TheCaptionCloseBoxHidesIt) {
    ShowAndCheck();
    // What a click on the close box sends; the dialog manager turns the close into Cancel.
    SendMessageA(box.hwnd(), WM_SYSCOMMAND, SC_CLOSE, 0);
    qv::testing::PumpMessagesFor(50);
    EXPECT_FALSE(box.IsVisible());
    EXPECT_TRUE(IsWindow(box.hwnd()));
    ShowAndCheck();
}

TEST_F(AboutBox, TheLargeVersionLineFitsOnOneLine) {
    ShowAndCheck();
    const HWND title = box.Item(IDC_ABOUT_TITLE);
    const qv::WindowDC dc(title);
    const qv::SelectGuard font(dc.get(), HGDIOBJ(SendMessageA(title, WM_GETFONT, 0, 0)));
    SIZE text{};
    GetTextExtentPoint32A(dc.get(), "Quorvel Version 1.0", 19, &text);
    RECT client{};
    GetClientRect(title, &client);
    EXPECT_LE(text.cx, client.right) << "the version number would wrap out of sight";
    EXPECT_LE(text.cy, client.bottom);
}

// The second command finds the box shown behind another window: it comes forward, and its title
// is drawn again at once.
TEST_F(AboutBox, ShowingItTwiceKeepsOneBoxBringsItForwardAndRedrawsTheTitle) {
    ShowAndCheck();
    const HWND first = box.hwnd();
    const HWND other = CreateWindowExA(0, "Static", "", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50,
                                       nullptr, nullptr, nullptr, nullptr);
    SetForegroundWindow(other);
    ASSERT_NE(GetActiveWindow(), box.hwnd());
    const HWND title = box.Item(IDC_ABOUT_TITLE);
    {
        const qv::WindowDC dc(title);
        RECT all{};
        GetClientRect(title, &all);
        FillRect(dc.get(), &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    }
    ValidateRect(title, nullptr);
    ShowAndCheck();
    EXPECT_EQ(box.hwnd(), first);
    EXPECT_EQ(GetActiveWindow(), box.hwnd());
    DestroyWindow(other);
}

} // namespace
