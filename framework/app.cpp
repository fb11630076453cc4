#include "framework/app.h"

#include <ole2.h>

namespace qv {

CWinApp::CWinApp() {
    current_ = this;
}

CWinApp::~CWinApp() {
    if (current_ == this) {
        current_ = nullptr;
    }
}

int CWinApp::Run() {
    // The embedded browser control wants a single-threaded apartment with OLE.
    const HRESULT ole = OleInitialize(nullptr);
    InitInstance();
    if (SUCCEEDED(ole)) {
        OleUninitialize();
    }
    return 0;
}

} // namespace qv
