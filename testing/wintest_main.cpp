#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

// The same start as the program's: all common control classes, and OLE only where something
// enters it at its first use (the browser control, the shell, the file dialog).
int main(int argc, char** argv) {
    INITCOMMONCONTROLSEX controls{sizeof controls, 0xFF};
    InitCommonControlsEx(&controls);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
