// Drives a running Quorvel for tools/screenshots.py: reads one command a line from its input and
// answers each with lines ending in a line holding a single dot.
//   windows          the visible top-level windows of Quorvel: "x y width height title"
//   command ID       posts the menu command ID to the bar
//   close TITLE      closes the dialog of that title the way its Cancel button does
//   settext ANCHOR EDIT TEXT   sets the text of control EDIT in the window that has both
//                    controls ANCHOR and EDIT
//   ok ANCHOR        sends OK (Enter) to the window that has control ANCHOR
//   find ANCHOR OTHER  the window that has both controls, as "windows" lists it
//   stash            moves the windows that are faded out of sight off the screen, and
//   unstash          back: without a compositor, X draws a window of opacity 0 as if opaque
//   quit
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "framework/handles.h"
#include "testing/program_process.h"

namespace {

bool IsQuorvelWindow(HWND window) {
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    const qv::UniqueKernelHandle process(
        OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId));
    if (!process) {
        return false;
    }
    char image[MAX_PATH] = {};
    DWORD size = MAX_PATH;
    const bool named = QueryFullProcessImageNameA(process.get(), 0, image, &size) != 0;
    const char* file = std::strrchr(image, '\\');
    return named && file && lstrcmpiA(file + 1, "Quorvel.exe") == 0;
}

bool FadedOut(HWND window) {
    COLORREF key = 0;
    BYTE alpha = 255;
    DWORD flags = 0;
    return (GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_LAYERED) &&
           GetLayeredWindowAttributes(window, &key, &alpha, &flags) && (flags & LWA_ALPHA) &&
           alpha == 0;
}

// Quorvel's top-level windows that are shown, in z-order; with faded ones when asked.
std::vector<HWND> VisibleQuorvelWindows(bool withFadedOut = false) {
    struct Search {
        bool withFadedOut;
        std::vector<HWND> windows;
    } search{withFadedOut, {}};
    EnumWindows(
        [](HWND window, LPARAM context) -> BOOL {
            auto* search = reinterpret_cast<Search*>(context);
            if (IsWindowVisible(window) && IsQuorvelWindow(window) &&
                (search->withFadedOut || !FadedOut(window))) {
                search->windows.push_back(window);
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.windows;
}

RECT RectOf(HWND window) {
    RECT rect{};
    GetWindowRect(window, &rect);
    return rect;
}

std::string TitleOf(HWND window) {
    char title[256] = {};
    GetWindowTextA(window, title, sizeof title);
    return title;
}

HWND Bar() {
    for (HWND window : VisibleQuorvelWindows()) {
        if (qv::testing::IsShownBar(window)) {
            return window;
        }
    }
    return nullptr;
}

void PrintWindow(HWND window) {
    const RECT rect = RectOf(window);
    std::printf("%ld %ld %ld %ld %s\n", rect.left, rect.top, rect.right - rect.left,
                rect.bottom - rect.top, TitleOf(window).c_str());
}

void ListWindows() {
    for (HWND window : VisibleQuorvelWindows()) {
        PrintWindow(window);
    }
}

void CloseDialog(const std::string& title) {
    for (HWND window : VisibleQuorvelWindows()) {
        if (TitleOf(window) == title) {
            PostMessageA(window, WM_COMMAND, IDCANCEL, 0);
        }
    }
}

HWND WindowWith(int anchor, int control) {
    for (HWND window : VisibleQuorvelWindows()) {
        if (GetDlgItem(window, anchor) && GetDlgItem(window, control)) {
            return window;
        }
    }
    return nullptr;
}

// Wide text: ANSI text sent to another process comes out mangled under Wine.
void SetControlText(const std::string& arguments) {
    int anchor = 0, control = 0, consumed = 0;
    if (std::sscanf(arguments.c_str(), "%d %d %n", &anchor, &control, &consumed) < 2) {
        return;
    }
    const std::string text = arguments.substr(consumed);
    std::wstring wide(text.begin(), text.end());
    if (HWND window = WindowWith(anchor, control)) {
        SendMessageW(GetDlgItem(window, control), WM_SETTEXT, 0,
                     reinterpret_cast<LPARAM>(wide.c_str()));
    }
}

void FindWindowWith(const std::string& arguments) {
    int anchor = 0, other = 0;
    if (std::sscanf(arguments.c_str(), "%d %d", &anchor, &other) == 2) {
        if (HWND window = WindowWith(anchor, other)) {
            PrintWindow(window);
        }
    }
}

void SendOk(int anchor) {
    if (HWND window = WindowWith(anchor, anchor)) {
        PostMessageA(window, WM_COMMAND, IDOK, 0);
    }
}

constexpr int kStashOffset = -20000;

struct Stashed {
    HWND window;
    RECT rect;
};
std::vector<Stashed> stashed;

void MoveTo(HWND window, int x, int y) {
    SetWindowPos(window, nullptr, x, y, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
}

void Stash() {
    for (HWND window : VisibleQuorvelWindows(true)) {
        if (FadedOut(window)) {
            stashed.push_back({window, RectOf(window)});
            MoveTo(window, kStashOffset, kStashOffset);
        }
    }
}

// Back where they were, unless the program has placed them anew meanwhile.
void Unstash() {
    for (const Stashed& entry : stashed) {
        if (RectOf(entry.window).left == kStashOffset) {
            MoveTo(entry.window, entry.rect.left, entry.rect.top);
        }
    }
    stashed.clear();
}

} // namespace

int main() {
    char line[512];
    while (std::fgets(line, sizeof line, stdin)) {
        std::string command(line);
        command.erase(command.find_last_not_of("\r\n") + 1);
        if (command == "quit") {
            break;
        }
        if (command == "windows") {
            ListWindows();
        } else if (command.rfind("command ", 0) == 0) {
            PostMessageA(Bar(), WM_COMMAND, std::strtoul(command.c_str() + 8, nullptr, 10), 0);
        } else if (command.rfind("settext ", 0) == 0) {
            SetControlText(command.substr(8));
        } else if (command == "stash") {
            Stash();
        } else if (command == "unstash") {
            Unstash();
        } else if (command.rfind("find ", 0) == 0) {
            FindWindowWith(command.substr(5));
        } else if (command.rfind("ok ", 0) == 0) {
            SendOk(std::atoi(command.c_str() + 3));
        } else if (command.rfind("close ", 0) == 0) {
            CloseDialog(command.substr(6));
        }
        std::printf(".\n");
        std::fflush(stdout);
    }
    return 0;
}
