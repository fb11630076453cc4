#include "ui/about_dlg.h"

#include <gtest/gtest.h>

#include <string>

#include "framework/handles.h"
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
    }

    HWND owner = nullptr;
    CAboutDlg box;
};

TEST_F(AboutBox, IsMadeHiddenWithItsLines) {
    EXPECT_FALSE(box.IsVisible());
    EXPECT_EQ(box.Text(), L"About Quorvel");
    EXPECT_EQ(Text(IDC_ABOUT_TITLE), "Quorvel Version 1.0");
    EXPECT_EQ(Text(IDOK), "OK");
    EXPECT_EQ(Text(IDC_ABOUT_WEB_ADDRESS), "http://www.quorvel.example/");
    EXPECT_EQ(GetWindow(box.hwnd(), GW_OWNER), owner);
    EXPECT_TRUE(GetWindowLongA(box.Item(IDC_ABOUT_TITLE), GWL_STYLE) & SS_NOPREFIX);
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

TEST_F(AboutBox, ShowingItTwiceKeepsOneBox) {
    ShowAndCheck();
    const HWND first = box.hwnd();
    ShowAndCheck();
    EXPECT_EQ(box.hwnd(), first);
    EXPECT_EQ(GetActiveWindow(), box.hwnd());
}

} // namespace
