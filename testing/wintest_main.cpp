#include <windows.h>
#include <commctrl.h>
#include <ole2.h>

#include <gtest/gtest.h>

// The same start as the program's: OLE for the browser control, all common control classes.
int main(int argc, char** argv) {
    OleInitialize(nullptr);
    INITCOMMONCONTROLSEX controls{sizeof controls, 0xFF};
    InitCommonControlsEx(&controls);
    testing::InitGoogleTest(&argc, argv);
    const int result = RUN_ALL_TESTS();
    OleUninitialize();
    return result;
}
