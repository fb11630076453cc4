#pragma once

// Starting the built program as a process of its own, and finding its bar.
#include <windows.h>

#include <string>

#include "framework/handles.h"
#include "framework/program_file_path.h"

namespace qv::testing {

inline UniqueKernelHandle StartProgram() {
    std::string commandLine(1, '"');
    commandLine.append(ProgramFilePath("Quorvel.exe")).push_back('"');
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
        return {};
    }
    CloseHandle(process.hThread);
    return UniqueKernelHandle(process.hProcess);
}

// The process's visible top-level window of the bar's size, looked for every millisecond or so
// for ten seconds: the first look that finds it is within moments of its showing.
inline HWND AwaitBar(DWORD processId) {
    struct Search {
        DWORD processId;
        HWND bar;
    } search{processId, nullptr};
    const DWORD start = GetTickCount();
    while (!search.bar && GetTickCount() - start < 10000) {
        EnumWindows(
            [](HWND window, LPARAM context) -> BOOL {
                auto* search = reinterpret_cast<Search*>(context);
                DWORD owner = 0;
                GetWindowThreadProcessId(window, &owner);
                RECT rect{};
                GetWindowRect(window, &rect);
                if (owner == search->processId && IsWindowVisible(window) &&
                    rect.right - rect.left == 236 && rect.bottom - rect.top == 18) {
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
