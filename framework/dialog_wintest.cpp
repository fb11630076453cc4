#include "framework/dialog.h"

#include <gtest/gtest.h>

#include <vector>

#include "framework/handles.h"
#include "res/resource.h"
#include "testing/resource_count.h"
#include "testing/scratch_registry.h"

namespace {

using namespace qv;

// Any template of the program will do; the About box has buttons to press.
class ProbeDialog : public CDialog {
public:
    ProbeDialog() : CDialog(IDD_ABOUT) {}

    std::vector<UINT_PTR> timers;
    std::vector<UINT> commands;
    bool fontBeforeInit = false;
    bool initialised = false;
    POINT lastClick{};

    void OnTimer(UINT_PTR id) { timers.push_back(id); }
    void OnFirst() { commands.push_back(1); }
    void OnSecond() { commands.push_back(2); }
    void OnSetFont(WPARAM, LPARAM) { fontBeforeInit = fontBeforeInit || !initialised; }
    void OnLButtonDown(UINT, POINT point) { lastClick = point; }
    void OnClose() { EndDialog(77); }

protected:
    MessageTable Messages() const override {
        static constexpr MessageEntry table[] = {
            OnMessage<WM_TIMER, &ProbeDialog::OnTimer>(),
            OnMessage<WM_SETFONT, &ProbeDialog::OnSetFont, After::Default>(),
            OnMessage<WM_LBUTTONDOWN, &ProbeDialog::OnLButtonDown>(),
            OnCommand<40001, &ProbeDialog::OnFirst>(),
            OnNotify<40002, 5, &ProbeDialog::OnSecond>(),
            OnCommand<IDCLOSE, &ProbeDialog::OnClose>(),
            IgnoreCommand<IDCANCEL>(),
        };
        return table;
    }
    BOOL OnInitDialog() override {
        initialised = true;
        return TRUE;
    }
};

// Dialogs and their controls are Unicode windows: on Windows the controls of an ANSI dialog are
// ANSI too, and a text in another script than the code page's would become question marks.
TEST(Dialog, DialogsAndTheirControlsKeepTextInAnyScript) {
    ProbeDialog dialog;
    ASSERT_TRUE(dialog.Create(nullptr));
    EXPECT_TRUE(IsWindowUnicode(dialog.hwnd()));
    for (HWND child = GetWindow(dialog.hwnd(), GW_CHILD); child;
         child = GetWindow(child, GW_HWNDNEXT)) {
        EXPECT_TRUE(IsWindowUnicode(child));
    }
    dialog.SetText(std::wstring_view(L"Ειδήσεις ニュース"));
    EXPECT_EQ(dialog.Text(), L"Ειδήσεις ニュース");
    dialog.Destroy();
}

TEST(Dialog, TableRoutesMessagesCommandsAndNotifications) {
    ProbeDialog dialog;
    ASSERT_TRUE(dialog.Create(nullptr));
    EXPECT_TRUE(dialog.fontBeforeInit) << "messages before WM_INITDIALOG must reach the object";
    SendMessageA(dialog.hwnd(), WM_TIMER, 7, 0);
    SendMessageA(dialog.hwnd(), WM_LBUTTONDOWN, 0, MAKELPARAM(-3, 12));
    SendMessageA(dialog.hwnd(), WM_COMMAND, MAKEWPARAM(40001, 0), 0);
    SendMessageA(dialog.hwnd(), WM_COMMAND, MAKEWPARAM(40001, 1), 0); // accelerator
    SendMessageA(dialog.hwnd(), WM_COMMAND, MAKEWPARAM(40001, 5), 0); // a notification
    SendMessageA(dialog.hwnd(), WM_COMMAND, MAKEWPARAM(40002, 5), 0); // the notification
    SendMessageA(dialog.hwnd(), WM_COMMAND, MAKEWPARAM(40002, 0), 0); // not that one
    EXPECT_EQ(dialog.timers, std::vector<UINT_PTR>{7});
    EXPECT_EQ(dialog.lastClick.x, -3);
    EXPECT_EQ(dialog.lastClick.y, 12);
    EXPECT_EQ(dialog.commands, (std::vector<UINT>{1, 1, 2}));
    dialog.Destroy();
    EXPECT_EQ(dialog.hwnd(), nullptr);
}

// A window made hidden, to be shown later, leaves the activation and the focus where they are;
// a modal dialog still gets its first control focused.
TEST(Dialog, OnlyAShownDialogTakesTheFocusWhenMade) {
    ProbeDialog active;
    ASSERT_TRUE(active.Create(nullptr));
    ShowWindow(active.hwnd(), SW_SHOW);
    SetActiveWindow(active.hwnd());
    const HWND focus = GetFocus();
    ASSERT_EQ(GetActiveWindow(), active.hwnd());
    ProbeDialog hidden;
    ASSERT_TRUE(hidden.Create(nullptr));
    EXPECT_FALSE(hidden.IsVisible());
    EXPECT_EQ(GetActiveWindow(), active.hwnd());
    EXPECT_EQ(GetFocus(), focus);

    static ProbeDialog modal;
    static int modalFocus = 0;
    SetTimer(nullptr, 0, 10, [](HWND, UINT, UINT_PTR id, DWORD) {
        KillTimer(nullptr, id);
        modalFocus = GetDlgCtrlID(GetFocus());
        PostMessageA(modal.hwnd(), WM_COMMAND, IDCLOSE, 0);
    });
    modal.RunModal(active.hwnd());
    EXPECT_EQ(modalFocus, IDOK) << "the About box's first tab stop";
    hidden.Destroy();
    active.Destroy();
}

TEST(Dialog, ModalRunReturnsTheEndResultAndReenablesTheOwner) {
    ProbeDialog owner;
    ASSERT_TRUE(owner.Create(nullptr));
    static ProbeDialog modal;
    SetTimer(nullptr, 0, 100, [](HWND, UINT, UINT_PTR id, DWORD) {
        KillTimer(nullptr, id);
        EXPECT_FALSE(IsWindowEnabled(GetWindow(modal.hwnd(), GW_OWNER)));
        PostMessageA(modal.hwnd(), WM_COMMAND, IDCLOSE, 0);
    });
    EXPECT_EQ(modal.RunModal(owner.hwnd()), 77);
    EXPECT_EQ(modal.hwnd(), nullptr);
    EXPECT_TRUE(IsWindowEnabled(owner.hwnd()));
}

TEST(Dialog, ModalRunEndsOnQuitAndPassesItOn) {
    static ProbeDialog modal;
    SetTimer(nullptr, 0, 100, [](HWND, UINT, UINT_PTR id, DWORD) {
        KillTimer(nullptr, id);
        PostQuitMessage(3);
    });
    modal.RunModal(nullptr);
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 3u);
}

// Its owner removes a hook, which Wine counts nowhere: a window made after it calls it no more.
TEST(Dialog, AHooksOwnerRemovesIt) {
    static int windowsMade = 0;
    const auto countCreations = [](int code, WPARAM wParam, LPARAM lParam) -> LRESULT {
        windowsMade += code == HCBT_CREATEWND;
        return CallNextHookEx(nullptr, code, wParam, lParam);
    };
    const auto makeWindow = [] {
        DestroyWindow(
            CreateWindowExW(0, L"Static", L"", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr));
    };
    {
        const qv::UniqueHook hook(
            SetWindowsHookExW(WH_CBT, countCreations, nullptr, GetCurrentThreadId()));
        makeWindow();
    }
    const int seen = windowsMade; // Wine makes its input-method window beside the first one
    EXPECT_GE(seen, 1);
    makeWindow();
    EXPECT_EQ(windowsMade, seen);
}

TEST(Dialog, GdiOwnersLeaveTheObjectCountFlat) {
    const int before = qv::testing::GdiObjectCount();
    for (int i = 0; i < 500; ++i) {
        UniqueFont font(CreateFontA(12, 0, 0, 0, FW_NORMAL, 0, 0, 0, 0, 0, 0, 0, 0, "Segoe UI"));
        UniqueBrush brush(CreateSolidBrush(RGB(1, 2, 3)));
        UniqueMemoryDC dc(CreateCompatibleDC(nullptr));
        UniqueBitmap bitmap(CreateBitmap(4, 4, 1, 32, nullptr));
        SelectGuard selectBitmap(dc.get(), bitmap.get());
        SelectGuard selectFont(dc.get(), font.get());
    }
    EXPECT_EQ(qv::testing::GdiObjectCount(), before);
}

} // namespace
