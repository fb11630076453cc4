#include "testing/modal_answers.h"

#include <commctrl.h>
#include <dlgs.h>

#include <vector>

namespace qv::testing {

namespace {

std::vector<ThreadWindowScan*>& Scans() {
    static std::vector<ThreadWindowScan*> scans;
    return scans;
}

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

// The shell's view of the folder lists the files; it takes one at a time unless the dialog was
// asked for several.
bool FileListTakesOne(HWND dialog) {
    HWND list = nullptr;
    EnumChildWindows(
        dialog,
        [](HWND child, LPARAM found) {
            char className[32] = {};
            GetClassNameA(child, className, sizeof className);
            if (std::string(className) != "SysListView32") {
                return TRUE;
            }
            *reinterpret_cast<HWND*>(found) = child;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&list));
    return list && (GetWindowLongA(list, GWL_STYLE) & LVS_SINGLESEL);
}

} // namespace

ThreadWindowScan::ThreadWindowScan(UINT periodMs, std::function<void(HWND)> visit)
    : visit_(std::move(visit)), timer_(SetTimer(nullptr, 0, periodMs, &ThreadWindowScan::OnTick)) {
    Scans().push_back(this);
}

ThreadWindowScan::~ThreadWindowScan() {
    KillTimer(nullptr, timer_);
    std::erase(Scans(), this);
}

void CALLBACK ThreadWindowScan::OnTick(HWND, UINT, UINT_PTR timer, DWORD) {
    for (ThreadWindowScan* scan : Scans()) {
        if (scan->timer_ == timer) {
            EnumThreadWindows(GetCurrentThreadId(), &ThreadWindowScan::Visit,
                              reinterpret_cast<LPARAM>(scan));
            return;
        }
    }
}

BOOL CALLBACK ThreadWindowScan::Visit(HWND window, LPARAM scan) {
    reinterpret_cast<ThreadWindowScan*>(scan)->visit_(window);
    return TRUE;
}

MessageBoxAnswers::MessageBoxAnswers(std::deque<int> answers)
    : answers_(std::move(answers)), scan_(30, [this](HWND window) { AnswerIfMessageBox(window); }) {
}

void MessageBoxAnswers::AnswerIfMessageBox(HWND window) {
    const HWND text = GetDlgItem(window, kMessageTextId);
    if (!IsDialogWindow(window) || !text || !IconOf(window) || FileNameBoxOf(window) ||
        GetPropA(window, "QuorvelAnswered")) {
        return;
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
    if (!answers_.empty()) {
        answer = answers_.front();
        answers_.pop_front();
    }
    seen_.push_back(std::move(seen));
    PostMessageA(window, WM_COMMAND, WPARAM(answer), 0);
}

FileDialogAnswers::FileDialogAnswers(std::vector<std::wstring> typed)
    : typed_(std::move(typed)), scan_(50, [this](HWND window) { AnswerIfFileDialog(window); }) {}

void FileDialogAnswers::AnswerIfFileDialog(HWND window) {
    const HWND nameBox = FileNameBoxOf(window);
    if (!IsDialogWindow(window) || !nameBox) {
        return;
    }
    // The number of texts typed into this dialog so far.
    const size_t step = size_t(reinterpret_cast<uintptr_t>(GetPropA(window, "QuorvelStep")));
    if (step == 0) {
        ++shown_;
        owner_ = GetWindow(window, GW_OWNER);
        seen_.push_back(
            {WindowText(window), WindowText(GetDlgItem(window, cmb1)), FileListTakesOne(window)});
    }
    if (step > 0 && step >= typed_.size()) {
        return; // the last text is being handled
    }
    SetPropA(window, "QuorvelStep", reinterpret_cast<HANDLE>(step + 1));
    if (typed_.empty()) {
        PostMessageA(window, WM_COMMAND, IDCANCEL, 0);
        return;
    }
    SetWindowTextW(nameBox, typed_[step].c_str());
    PostMessageA(window, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(window, IDOK)));
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
