#pragma once

#include <windows.h>

namespace qv {

// The primary monitor's DPI as this process sees it: 96 when the system scales the program
// itself or cannot say.
int ReadSystemDpi();
// The DPI of the monitor the window is on; the system's where that cannot be read.
int ReadWindowDpi(HWND window);

// Windows 10 re-lays out and re-fonts a per-monitor dialog by itself when the scale changes;
// the skinned windows are laid out by the program, so that is turned off for them.
void KeepOwnLayoutOnDpiChange(HWND dialog);

// The DPI a WM_DPICHANGED carries (the same for both axes).
inline int DpiOfChange(WPARAM dpis) {
    return LOWORD(dpis);
}

} // namespace qv
