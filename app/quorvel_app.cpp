#include "app/quorvel_app.h"

#include "app/singletons.h"
#include "framework/common_controls.h"
#include "res/resource.h"

namespace qv {

bool CQuorvelApp::InitInstance() {
    // A second copy leaves before it touches anything: no second bar, hotkey or feed run.
    instanceMutex_.reset(CreateMutexA(nullptr, FALSE, kSingleInstanceMutexName));
    if (!instanceMutex_ || GetLastError() == ERROR_ALREADY_EXISTS) {
        return false;
    }
    // The bar shows without the common controls; everything after it, its start included, is made
    // with them.
    const UniqueActivationContext commonControls =
        CommonControlsContext(IDR_COMMON_CONTROLS_MANIFEST);
    theBar.RunModal(nullptr, commonControls.get());
    return false;
}

} // namespace qv
