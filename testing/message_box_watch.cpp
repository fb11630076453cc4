#include "testing/message_box_watch.h"

namespace qv::testing {

namespace {

MessageBoxWatch* watching = nullptr;
constexpr int kMessageTextId = 0xFFFF;

} // namespace

MessageBoxWatch::MessageBoxWatch(const char* caption) : caption_(caption) {
    watching = this;
    timer_ = SetTimer(nullptr, 0, 50, &MessageBoxWatch::OnTick);
}

MessageBoxWatch::~MessageBoxWatch() {
    KillTimer(nullptr, timer_);
    watching = nullptr;
}

void CALLBACK MessageBoxWatch::OnTick(HWND, UINT, UINT_PTR, DWORD) {
    if (watching) {
        EnumThreadWindows(GetCurrentThreadId(), &MessageBoxWatch::AnswerIfMessageBox,
                          reinterpret_cast<LPARAM>(watching));
    }
}

BOOL CALLBACK MessageBoxWatch::AnswerIfMessageBox(HWND window, LPARAM watch) {
    auto* self = reinterpret_cast<MessageBoxWatch*>(watch);
    char caption[128] = {};
    char text[1024] = {};
    GetWindowTextA(window, caption, sizeof caption);
    const HWND message = GetDlgItem(window, kMessageTextId);
    if (self->caption_ == caption && message && IsWindowVisible(window)) {
        GetWindowTextA(message, text, sizeof text);
        self->texts_.emplace_back(text);
        PostMessageA(window, WM_COMMAND, IDOK, 0);
    }
    return TRUE;
}

} // namespace qv::testing
