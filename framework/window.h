#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <string_view>

#include "framework/pixel_rect.h"

namespace qv {

// A non-owning view of a window: dialogs and their bound controls.
class Window {
public:
    Window() = default;
    explicit Window(HWND handle) : hwnd_(handle) {}

    HWND hwnd() const { return hwnd_; }
    explicit operator bool() const { return hwnd_ != nullptr; }
    void Attach(HWND handle) { hwnd_ = handle; }

    HWND Item(int id) const { return GetDlgItem(hwnd_, id); }
    bool IsVisible() const { return IsWindowVisible(hwnd_) != FALSE; }
    void Show(bool visible) const { ShowWindow(hwnd_, visible ? SW_SHOW : SW_HIDE); }
    void ShowNoActivate() const { ShowWindow(hwnd_, SW_SHOWNOACTIVATE); }
    void Move(int x, int y, int width, int height) const {
        MoveWindow(hwnd_, x, y, width, height, TRUE);
    }
    void Place(const PixelRect& rect) const { Move(rect.x, rect.y, rect.width, rect.height); }
    void MoveTo(int x, int y) const {
        SetWindowPos(hwnd_, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    void CenterOnDesktop() const;
    RECT WindowRect() const;
    RECT ClientRect() const;

    // Fixed labels are ASCII; anything the user typed or a site sent goes through the wide form.
    void SetText(const char* text) const { SetWindowTextA(hwnd_, text); }
    void SetText(std::wstring_view text) const;
    std::wstring Text() const;

    LONG_PTR ExStyle() const { return GetWindowLongPtrW(hwnd_, GWL_EXSTYLE); }
    void SetExStyle(LONG_PTR exStyle) const { SetWindowLongPtrW(hwnd_, GWL_EXSTYLE, exStyle); }

    // Layered with a colour key and an opacity applied together; the style is set from
    // baseExStyle, so a panel can take on its creator's tool-window style.
    void MakeLayered(LONG_PTR baseExStyle, COLORREF colorKey, BYTE alpha) const;
    void SetAlpha(COLORREF colorKey, BYTE alpha) const;

    // Starts an animation timer and stops its opposite at once: a running animation's next
    // tick would otherwise come first and cancel the one just asked for.
    void StartAnimation(UINT_PTR timer, UINT_PTR opposite) const;
    // One tick of the fade on that timer (FadeInTimer or FadeOutTimer): stops the opposite
    // fade, moves alpha one step, stops this timer at the end and applies the opacity. True when
    // the fade has ended.
    bool StepFade(UINT_PTR timer, int32_t& alpha, COLORREF colorKey) const;

protected:
    HWND hwnd_ = nullptr;
};

} // namespace qv
