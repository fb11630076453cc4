#pragma once

#include <windows.h>

namespace qv {

// The primary monitor's DPI as this process sees it: 96 when the system scales the program
// itself or cannot say.
int ReadSystemDpi();

// The DPI a WM_DPICHANGED carries (the same for both axes).
inline int DpiOfChange(WPARAM dpis) {
    return LOWORD(dpis);
}

} // namespace qv
