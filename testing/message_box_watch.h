#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace qv::testing {

// While it lives, answers every message box this thread shows under the given caption with OK
// and keeps its text, so that code which reports errors can be run without a person.
class MessageBoxWatch {
public:
    explicit MessageBoxWatch(const char* caption = "Quorvel");
    MessageBoxWatch(const MessageBoxWatch&) = delete;
    MessageBoxWatch& operator=(const MessageBoxWatch&) = delete;
    ~MessageBoxWatch();

    const std::vector<std::string>& Texts() const { return texts_; }

private:
    static void CALLBACK OnTick(HWND, UINT, UINT_PTR, DWORD);
    static BOOL CALLBACK AnswerIfMessageBox(HWND window, LPARAM watch);

    std::string caption_;
    std::vector<std::string> texts_;
    UINT_PTR timer_ = 0;
};

} // namespace qv::testing
