#include "testing/modal_answers.h"

#include <dlgs.h>

namespace qv::testing {

namespace {

MessageBoxAnswers* boxAnswers = nullptr;
FileDialogAnswers* fileAnswers = nullptr;

// Message boxes hold their text in a static of this id and their icon in one of these.
constexpr int kMessageTextId = 0xFFFF;
constexpr int kWindowsIconId = 20;
constexpr int kWineIconId = 1088;

std::string WindowText(HWND window) {
    char text[2048] = {};
    GetWindowTextA(window, text, sizeof text);
    return text;
}

bool IsDialogWindow(HWND window) {
    char className[16] = {};
    GetClassNameA(window, className, sizeof className);
    return std::string(className) == "#32770" && IsWindowVisible(window);
}

HWND IconOf(HWND box) {
    const HWND icon = GetDlgItem(box, kWindowsIconId);
    return icon ? icon : GetDlgItem(box, kWineIconId);
}

// The file name box of the file-open dialog: a combo box in the newer layout, an edit before.
HWND FileNameBoxOf(HWND dialog) {
    const HWND combo = GetDlgItem(dialog, cmb13);
    return combo ? combo : GetDlgItem(dialog, edt1);
}

} // namespace

MessageBoxAnswers::MessageBoxAnswers(std::deque<int> answers) : answers_(std::move(answers)) {
    boxAnswers = this;
    timer_ = SetTimer(nullptr, 0, 30, &MessageBoxAnswers::OnTick);
}

MessageBoxAnswers::~MessageBoxAnswers() {
    KillTimer(nullptr, timer_);
    boxAnswers = nullptr;
}

void CALLBACK MessageBoxAnswers::OnTick(HWND, UINT, UINT_PTR, DWORD) {
    if (boxAnswers) {
        EnumThreadWindows(GetCurrentThreadId(), &MessageBoxAnswers::AnswerIfMessageBox,
                          reinterpret_cast<LPARAM>(boxAnswers));
    }
}

BOOL CALLBACK MessageBoxAnswers::AnswerIfMessageBox(HWND window, LPARAM answers) {
    auto* self = reinterpret_cast<MessageBoxAnswers*>(answers);
    const HWND text = GetDlgItem(window, kMessageTextId);
    if (!IsDialogWindow(window) || !text || !IconOf(window) || FileNameBoxOf(window) ||
        GetPropA(window, "QuorvelAnswered")) {
        return TRUE;
    }
    SetPropA(window, "QuorvelAnswered", HANDLE(1)); // posted once, even if it closes late
    MessageBoxSeen seen{
        WindowText(window), WindowText(text), GetWindow(window, GW_OWNER), {}, nullptr};
    for (const int id : {IDOK, IDCANCEL, IDYES, IDNO}) {
        const HWND button = GetDlgItem(window, id);
        if (button && IsWindowVisible(button)) {
            seen.buttons.push_back(id);
        }
    }
    seen.icon = reinterpret_cast<HICON>(SendMessageA(IconOf(window), STM_GETICON, 0, 0));
    int answer = GetDlgItem(window, IDOK) ? IDOK : IDNO;
    if (!self->answers_.empty()) {
        answer = self->answers_.front();
        self->answers_.pop_front();
    }
    self->seen_.push_back(std::move(seen));
    PostMessageA(window, WM_COMMAND, WPARAM(answer), 0);
    return TRUE;
}

FileDialogAnswers::FileDialogAnswers(std::vector<std::wstring> typed) : typed_(std::move(typed)) {
    fileAnswers = this;
    timer_ = SetTimer(nullptr, 0, 50, &FileDialogAnswers::OnTick);
}

FileDialogAnswers::~FileDialogAnswers() {
    KillTimer(nullptr, timer_);
    fileAnswers = nullptr;
}

void CALLBACK FileDialogAnswers::OnTick(HWND, UINT, UINT_PTR, DWORD) {
    if (fileAnswers) {
        EnumThreadWindows(GetCurrentThreadId(), &FileDialogAnswers::AnswerIfFileDialog,
                          reinterpret_cast<LPARAM>(fileAnswers));
    }
}

BOOL CALLBACK FileDialogAnswers::AnswerIfFileDialog(HWND window, LPARAM answers) {
    auto* self = reinterpret_cast<FileDialogAnswers*>(answers);
    const HWND nameBox = FileNameBoxOf(window);
    if (!IsDialogWindow(window) || !nameBox) {
        return TRUE;
    }
    // The number of texts typed into this dialog so far.
    const size_t step = size_t(reinterpret_cast<uintptr_t>(GetPropA(window, "QuorvelStep")));
    if (step == 0) {
        ++self->shown_;
        self->owner_ = GetWindow(window, GW_OWNER);
    }
    if (step > 0 && step >= self->typed_.size()) {
        return TRUE; // the last text is being handled
    }
    SetPropA(window, "QuorvelStep", reinterpret_cast<HANDLE>(step + 1));
    if (self->typed_.empty()) {
        PostMessageA(window, WM_COMMAND, IDCANCEL, 0);
        return TRUE;
    }
    SetWindowTextW(nameBox, self->typed_[step].c_str());
    PostMessageA(window, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(window, IDOK)));
    return TRUE;
}

void RunInNextLoop(std::function<void()> steps) {
    static std::function<void()> pending;
    pending = std::move(steps);
    SetTimer(nullptr, 0, 10, [](HWND, UINT, UINT_PTR id, DWORD) {
        KillTimer(nullptr, id);
        const std::function<void()> run = std::move(pending);
        pending = nullptr;
        run();
    });
}

} // namespace qv::testing
