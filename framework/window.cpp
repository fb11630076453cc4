#include "framework/window.h"

#include "framework/animation.h"

namespace qv {

RECT Window::WindowRect() const {
    RECT rect{};
    GetWindowRect(hwnd_, &rect);
    return rect;
}

void Window::CenterOnDesktop() const {
    RECT desktop{};
    GetWindowRect(GetDesktopWindow(), &desktop);
    const RECT own = WindowRect();
    const int width = own.right - own.left;
    const int height = own.bottom - own.top;
    MoveTo(desktop.left + (desktop.right - desktop.left - width) / 2,
           desktop.top + (desktop.bottom - desktop.top - height) / 2);
}

RECT Window::ClientRect() const {
    RECT rect{};
    GetClientRect(hwnd_, &rect);
    return rect;
}

void Window::SetText(std::wstring_view text) const {
    const std::wstring terminated(text);
    SetWindowTextW(hwnd_, terminated.c_str());
}

std::wstring Window::Text() const {
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(hwnd_)) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(hwnd_, text.data(), int(text.size()))));
    return text;
}

void Window::MakeLayered(LONG_PTR baseExStyle, COLORREF colorKey, BYTE alpha) const {
    SetExStyle(baseExStyle | WS_EX_LAYERED);
    SetAlpha(colorKey, alpha);
}

void Window::StartAnimation(UINT_PTR timer, UINT_PTR opposite) const {
    KillTimer(hwnd_, opposite);
    SetTimer(hwnd_, timer, kAnimationPeriodMs, nullptr);
}

bool Window::StepFade(UINT_PTR timer, int32_t& alpha, COLORREF colorKey) const {
    const bool fadingIn = timer == FadeInTimer;
    KillTimer(hwnd_, fadingIn ? FadeOutTimer : FadeInTimer);
    const FadeStep step = fadingIn ? FadeInStep(alpha) : FadeOutStep(alpha);
    alpha = step.alpha;
    if (step.done) {
        KillTimer(hwnd_, timer);
    }
    SetAlpha(colorKey, BYTE(alpha));
    return step.done;
}

void Window::SetAlpha(COLORREF colorKey, BYTE alpha) const {
    SetLayeredWindowAttributes(hwnd_, colorKey, alpha, LWA_COLORKEY | LWA_ALPHA);
}

} // namespace qv
