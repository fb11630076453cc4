#include <windows.h>

#include <gtest/gtest.h>

#include "framework/common_controls.h"
#include "res/resource.h"

// The same as the program's windows after its bar: the common controls with visual styles, all
// their classes, and OLE only where something enters it at its first use (the browser control,
// the shell, the file dialog).
int main(int argc, char** argv) {
    const qv::UniqueActivationContext commonControls =
        qv::CommonControlsContext(IDR_COMMON_CONTROLS_MANIFEST);
    const qv::ActivatedContext active(commonControls.get());
    qv::InitCommonControlsOnce();
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
