#pragma once

// The bar made as the program makes it, with the rest of its start (the other windows, the
// samplers, the timer and the hotkey) done: what the tests and the tick benchmark start from.
#include <windows.h>

#include "app/singletons.h"

namespace qv::testing {

// Takes only the start's own message, so anything else queued stays for the test.
inline bool CreateStartedBar() {
    if (!theBar.Create(nullptr)) {
        return false;
    }
    MSG msg;
    while (PeekMessageA(&msg, theBar.hwnd(), kBarStartMessage, kBarStartMessage, PM_REMOVE)) {
        DispatchMessageA(&msg);
    }
    return thePlayerBrowser.hwnd() != nullptr;
}

} // namespace qv::testing
