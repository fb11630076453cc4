// The yardstick for the bar's launch and idle cost: a bare layered 236 x 18 window that draws one
// short text in the bar's face and size, white on black as the bar's cells, when it shows and
// again on a one-second timer, and nothing else. The font machinery the bar's text needs thus
// counts on both sides. tools/measure-idle.sh runs it beside Quorvel.
//
// Built with QUORVEL_REFERENCE_WITH_LIBRARIES it is the same window in a process that has also
// loaded what the bar cannot run without: common controls 6 with visual styles (its manifest),
// OLE, IP Helper and the shell. The difference between the two is what those libraries alone
// cost under Wine.
//
// Built with QUORVEL_REFERENCE_READING_ADAPTER it also reads, at each tick, the counters of the
// interface the bar monitors by default (the first of the interface table) with one GetIfEntry2,
// as the bar's reader does. What that reading alone costs under Wine is then the difference
// between the two: the floor for any program that shows an adapter's rates every second.
#include <winsock2.h>
#include <ws2ipdef.h>
#include <windows.h>

#include <cstdio>

#if defined(QUORVEL_REFERENCE_READING_ADAPTER)
#include <iphlpapi.h>

#include <vector>
#endif

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

#if defined(QUORVEL_REFERENCE_READING_ADAPTER)
MIB_IF_ROW2 adapter{};

void FindAdapter() {
    ULONG size = 0;
    GetIfTable(nullptr, &size, FALSE);
    std::vector<BYTE> buffer(size);
    auto* table = reinterpret_cast<MIB_IFTABLE*>(buffer.data());
    if (size && GetIfTable(table, &size, FALSE) == NO_ERROR && table->dwNumEntries > 0) {
        ConvertInterfaceIndexToLuid(table->table[0].dwIndex, &adapter.InterfaceLuid);
    }
}

void ReadAdapter() {
    GetIfEntry2(&adapter);
}
#else
void FindAdapter() {}
void ReadAdapter() {}
#endif

constexpr UINT_PTR kTimer = 1;
HFONT font = nullptr;
unsigned ticks = 0;

void DrawFigure(HDC dc) {
    char text[16];
    const int length = std::snprintf(text, sizeof text, "%3u%%", ticks % 100);
    const HGDIOBJ old = SelectObject(dc, font);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(255, 255, 255));
    TextOutA(dc, 51, 1, text, length);
    SelectObject(dc, old);
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM w, LPARAM l) {
    switch (message) {
    case WM_PAINT: {
        PAINTSTRUCT paint;
        DrawFigure(BeginPaint(window, &paint));
        EndPaint(window, &paint);
        return 0;
    }
    case WM_TIMER: {
        ++ticks;
        ReadAdapter();
        const HDC dc = GetDC(window);
        const RECT cell{51, 0, 76, 18};
        FillRect(dc, &cell, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
        DrawFigure(dc);
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
    FindAdapter();
    // The bar's cells: "Segoe UI", 12 pixels, ClearType.
    font =
        CreateFontA(12, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, ANSI_CHARSET, OUT_DEFAULT_PRECIS,
                    CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY, FF_SWISS, "Segoe UI");
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
    UpdateWindow(window);
    SetTimer(window, kTimer, 1000, nullptr);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        DispatchMessageA(&msg);
    }
    return 0;
}
