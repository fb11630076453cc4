#include "framework/display_dpi.h"

#include "framework/display_scale.h"
#include "framework/handles.h"

namespace qv {

// GetDpiForSystem only exists from Windows 10 1607 on; before it, and wherever it is missing,
// the screen's logical pixels say the same.
int ReadSystemDpi() {
    using DpiForSystem = UINT(WINAPI*)();
    const auto dpiForSystem = reinterpret_cast<DpiForSystem>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("user32"), "GetDpiForSystem")));
    if (dpiForSystem) {
        return int(dpiForSystem());
    }
    const WindowDC screen(nullptr);
    return screen.get() ? GetDeviceCaps(screen.get(), LOGPIXELSX) : kDesignDpi;
}

// The window's own DPI follows its monitor's scale as it is now, even when the user changed it
// without signing out, where the system's stays what it was at sign-in. GetDpiForWindow came
// with Windows 10 1607.
int ReadWindowDpi(HWND window) {
    using DpiForWindow = UINT(WINAPI*)(HWND);
    const auto dpiForWindow = reinterpret_cast<DpiForWindow>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("user32"), "GetDpiForWindow")));
    const UINT dpi = dpiForWindow ? dpiForWindow(window) : 0;
    return dpi ? int(dpi) : ReadSystemDpi();
}

// Missing before Windows 10 1703 (and under Wine), where nothing re-lays a dialog out anyway.
void KeepOwnLayoutOnDpiChange(HWND dialog) {
    using DialogDpiChangeBehavior = BOOL(WINAPI*)(HWND, int mask, int values);
    constexpr int kDisableAll = 1; // DDC_DISABLE_ALL
    const auto setBehavior = reinterpret_cast<DialogDpiChangeBehavior>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleA("user32"), "SetDialogDpiChangeBehavior")));
    if (setBehavior) {
        setBehavior(dialog, kDisableAll, kDisableAll);
    }
}

} // namespace qv
