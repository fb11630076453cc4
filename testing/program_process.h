#pragma once

// Starting a built program as a process of its own, and knowing its bar when it is on screen.
// Header-only, so that a benchmark can use it as well as the tests.
#include <windows.h>

#include <filesystem>

#include "framework/handles.h"
#include "framework/program_file_path.h"
#include "framework/wide_text.h"

namespace qv::testing {

// How long a program is given to show its bar or to end: a deadline for a loaded machine, where
// a start under Wine has taken seconds, not a wait; every look answers as soon as it can.
constexpr DWORD kProgramDeadlineMs = 60000;

// A visible window of the bar's size, 236 x 18.
inline bool IsShownBar(HWND window) {
    RECT rect{};
    return IsWindowVisible(window) && GetWindowRect(window, &rect) &&
           rect.right - rect.left == 236 && rect.bottom - rect.top == 18;
}

inline UniqueKernelHandle StartProgramAt(const std::filesystem::path& program) {
    std::wstring commandLine = L"\"" + program.wstring() + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
        return {};
    }
    CloseHandle(process.hThread);
    return UniqueKernelHandle(process.hProcess);
}

// The program built beside the tests.
inline UniqueKernelHandle StartProgram() {
    return StartProgramAt(std::filesystem::path(FromUtf8(ProgramFilePath("Quorvel.exe"))));
}

// The process's shown bar, looked for every millisecond or so: the first look that finds it is
// within moments of its showing.
inline HWND AwaitBar(DWORD processId) {
    struct Search {
        DWORD processId;
        HWND bar;
    } search{processId, nullptr};
    const DWORD start = GetTickCount();
    while (!search.bar && GetTickCount() - start < kProgramDeadlineMs) {
        EnumWindows(
            [](HWND window, LPARAM context) -> BOOL {
                auto* search = reinterpret_cast<Search*>(context);
                DWORD owner = 0;
                GetWindowThreadProcessId(window, &owner);
                if (owner == search->processId && IsShownBar(window)) {
                    search->bar = window;
                }
                return search->bar == nullptr;
            },
            reinterpret_cast<LPARAM>(&search));
        if (!search.bar) {
            Sleep(1);
        }
    }
    return search.bar;
}

} // namespace qv::testing
