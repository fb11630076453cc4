#pragma once

#include <windows.h>

#include <deque>
#include <functional>
#include <string>
#include <vector>

namespace qv::testing {

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
    MessageBoxAnswers(const MessageBoxAnswers&) = delete;
    MessageBoxAnswers& operator=(const MessageBoxAnswers&) = delete;
    ~MessageBoxAnswers();

    const std::vector<MessageBoxSeen>& Seen() const { return seen_; }

private:
    static void CALLBACK OnTick(HWND, UINT, UINT_PTR, DWORD);
    static BOOL CALLBACK AnswerIfMessageBox(HWND window, LPARAM self);

    std::deque<int> answers_;
    std::vector<MessageBoxSeen> seen_;
    UINT_PTR timer_ = 0;
};

// While it lives, answers the file-open dialogs this thread shows: types each of the given
// texts in turn into the file name box and confirms it (a folder is opened, file names end the
// dialog), or cancels when there is no text. Counts the dialogs.
class FileDialogAnswers {
public:
    explicit FileDialogAnswers(std::vector<std::wstring> typed);
    FileDialogAnswers(const FileDialogAnswers&) = delete;
    FileDialogAnswers& operator=(const FileDialogAnswers&) = delete;
    ~FileDialogAnswers();

    int Shown() const { return shown_; }
    HWND LastOwner() const { return owner_; }

private:
    static void CALLBACK OnTick(HWND, UINT, UINT_PTR, DWORD);
    static BOOL CALLBACK AnswerIfFileDialog(HWND window, LPARAM self);

    std::vector<std::wstring> typed_;
    int shown_ = 0;
    HWND owner_ = nullptr;
    UINT_PTR timer_ = 0;
};

// Runs `steps` once, from a timer, inside whatever modal loop runs next on this thread.
void RunInNextLoop(std::function<void()> steps);

} // namespace qv::testing
