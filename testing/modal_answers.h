#pragma once

#include <windows.h>

#include <deque>
#include <functional>
#include <string>
#include <vector>

namespace qv::testing {

// While it lives, shows every top-level window of this thread to `visit`, from a timer, so that
// windows in a modal loop (a message box, a file dialog) can be answered.
class ThreadWindowScan {
public:
    ThreadWindowScan(UINT periodMs, std::function<void(HWND)> visit);
    ThreadWindowScan(const ThreadWindowScan&) = delete;
    ThreadWindowScan& operator=(const ThreadWindowScan&) = delete;
    ~ThreadWindowScan();

private:
    static void CALLBACK OnTick(HWND, UINT, UINT_PTR timer, DWORD);
    static BOOL CALLBACK Visit(HWND window, LPARAM scan);

    std::function<void(HWND)> visit_;
    UINT_PTR timer_ = 0;
};

// What one message box showed.
struct MessageBoxSeen {
    std::string caption;
    std::string text;
    HWND owner = nullptr;
    std::vector<int> buttons; // the ids of its buttons, of IDOK, IDCANCEL, IDYES and IDNO
    HICON icon = nullptr;
};

// While it lives, answers every message box this thread shows (from a timer, inside the box's
// own loop) with the next of the given button ids, then with OK or No, and keeps what each
// box showed.
class MessageBoxAnswers {
public:
    explicit MessageBoxAnswers(std::deque<int> answers = {});

    const std::vector<MessageBoxSeen>& Seen() const { return seen_; }

private:
    void AnswerIfMessageBox(HWND window);

    std::deque<int> answers_;
    std::vector<MessageBoxSeen> seen_;
    ThreadWindowScan scan_;
};

// While it lives, answers the file-open dialogs this thread shows: types each of the given
// texts in turn into the file name box and confirms it (a folder is opened, file names end the
// dialog), or cancels when there is no text. Counts the dialogs.
// What one file-open dialog showed as it opened.
struct FileDialogSeen {
    std::string title;
    std::string fileTypes;       // the chosen entry of its list of file types
    bool singleSelection = true; // its file list takes one file at a time
};

class FileDialogAnswers {
public:
    explicit FileDialogAnswers(std::vector<std::wstring> typed);

    int Shown() const { return shown_; }
    HWND LastOwner() const { return owner_; }
    const std::vector<FileDialogSeen>& Seen() const { return seen_; }

private:
    void AnswerIfFileDialog(HWND window);

    std::vector<std::wstring> typed_;
    int shown_ = 0;
    HWND owner_ = nullptr;
    std::vector<FileDialogSeen> seen_;
    ThreadWindowScan scan_;
};

// Runs `steps` once, from a timer, inside whatever modal loop runs next on this thread.
void RunInNextLoop(std::function<void()> steps);

} // namespace qv::testing
