#pragma once

#include <windows.h>

namespace qv {

// The application object: one per process, constructed before WinMain; Run() calls its start
// routine, which returns false once the program should end.
class CWinApp {
public:
    CWinApp() = default;
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;
    virtual ~CWinApp() = default;

    int Run();

protected:
    virtual bool InitInstance() = 0;
};

} // namespace qv
