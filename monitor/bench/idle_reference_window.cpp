// The yardstick for the bar's idle cost: a bare layered 236 x 18 window with a one-second timer
// that draws one short text per tick, and nothing else. tools/measure-idle.sh runs it beside
// Quorvel.
//
// Built with QUORVEL_REFERENCE_WITH_LIBRARIES it is the same window in a process that has also
// loaded what the bar cannot run without: common controls 6 with visual styles (its manifest),
// OLE, IP Helper and the shell. The difference between the two is what those libraries alone
// cost under Wine.
#include <winsock2.h>
#include <ws2ipdef.h>
#include <windows.h>

#include <cstdio>

#if defined(QUORVEL_REFERENCE_WITH_LIBRARIES)
#include <commctrl.h>
#include <iphlpapi.h>
#include <ole2.h>
#include <shellapi.h>
#endif

namespace {

#if defined(QUORVEL_REFERENCE_WITH_LIBRARIES)
void LoadTheBarsLibraries() {
    OleInitialize(nullptr);
    INITCOMMONCONTROLSEX controls{sizeof controls, 0xFF};
    InitCommonControlsEx(&controls);
    MIB_IF_ROW2 row{};
    row.InterfaceIndex = 1;
    GetIfEntry2(&row);
    SysFreeString(SysAllocString(L"loaded"));
    // A verb no file has: the shell loads and answers, nothing is started.
    ShellExecuteA(nullptr, "quorvel-reference", "nothing", nullptr, nullptr, SW_SHOW);
}
#else
void LoadTheBarsLibraries() {}
#endif

constexpr UINT_PTR kTimer = 1;

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM w, LPARAM l) {
    switch (message) {
    case WM_TIMER: {
        static unsigned ticks = 0;
        char text[16];
        const int length = std::snprintf(text, sizeof text, "%3u%%", ++ticks % 100);
        const HDC dc = GetDC(window);
        TextOutA(dc, 51, 1, text, length);
        ReleaseDC(window, dc);
        return 0;
    }
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, w, l);
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    LoadTheBarsLibraries();
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    windowClass.lpszClassName = "QuorvelIdleReference";
    RegisterClassA(&windowClass);
    const HWND window = CreateWindowExA(WS_EX_LAYERED | WS_EX_TOOLWINDOW, windowClass.lpszClassName,
                                        "", WS_POPUP, GetSystemMetrics(SM_CXSCREEN) - 350, 40, 236,
                                        18, nullptr, nullptr, instance, nullptr);
    SetLayeredWindowAttributes(window, RGB(0, 255, 0), 255, LWA_COLORKEY | LWA_ALPHA);
    ShowWindow(window, SW_SHOWNOACTIVATE);
    SetTimer(window, kTimer, 1000, nullptr);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        DispatchMessageA(&msg);
    }
    return 0;
}
