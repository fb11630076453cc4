#include <windows.h>

#include "app/singletons.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    return qv::theApp.Run();
}
