#pragma once

#include <windows.h>

namespace qv {

// The application object: one per process, constructed before WinMain; Run() calls its start
// routine, which returns false once the program should end.
class CWinApp {
public:
    CWinApp();
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;
    virtual ~CWinApp();

    static CWinApp* Current() { return current_; }
    int Run();

protected:
    virtual bool InitInstance() = 0;

private:
    static inline CWinApp* current_ = nullptr;
};

} // namespace qv
