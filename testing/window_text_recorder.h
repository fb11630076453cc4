#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace qv::testing {

// Notes every text set on a window (WM_SETTEXT) while it lives, in order, and the text the window
// held at each paint. An ANSI window procedure is put in front, so that the texts arrive as the
// program's ANSI text.
class WindowTextRecorder {
public:
    explicit WindowTextRecorder(HWND window) : window_(window) {
        SetPropA(window_, kProperty, this);
        previous_ = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrA(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Record)));
    }
    WindowTextRecorder(const WindowTextRecorder&) = delete;
    WindowTextRecorder& operator=(const WindowTextRecorder&) = delete;
    ~WindowTextRecorder() {
        SetWindowLongPtrA(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous_));
        RemovePropA(window_, kProperty);
    }

    const std::vector<std::string>& Texts() const { return texts_; }
    const std::vector<std::string>& Painted() const { return painted_; }

private:
    static constexpr char kProperty[] = "QuorvelTextRecorder";
    static LRESULT CALLBACK Record(HWND window, UINT message, WPARAM w, LPARAM l) {
        auto* self = static_cast<WindowTextRecorder*>(GetPropA(window, kProperty));
        if (message == WM_SETTEXT) {
            const char* text = reinterpret_cast<const char*>(l);
            self->texts_.emplace_back(text ? text : "");
        } else if (message == WM_PAINT) {
            char text[1024] = {};
            GetWindowTextA(window, text, sizeof text);
            self->painted_.emplace_back(text);
        }
        return CallWindowProcA(self->previous_, window, message, w, l);
    }

    HWND window_;
    WNDPROC previous_ = nullptr;
    std::vector<std::string> texts_;
    std::vector<std::string> painted_;
};

} // namespace qv::testing
