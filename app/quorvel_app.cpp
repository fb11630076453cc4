#include "app/quorvel_app.h"

#include <commctrl.h>

#include "app/singletons.h"

namespace qv {

bool CQuorvelApp::InitInstance() {
    // A second copy leaves before it touches anything: no second bar, hotkey or feed run.
    instanceMutex_.reset(CreateMutexA(nullptr, FALSE, kSingleInstanceMutexName));
    if (!instanceMutex_ || GetLastError() == ERROR_ALREADY_EXISTS) {
        return false;
    }
    INITCOMMONCONTROLSEX controls{sizeof controls, 0xFF};
    InitCommonControlsEx(&controls);
    theBar.RunModal(nullptr);
    return false;
}

} // namespace qv
