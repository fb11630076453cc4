#include "framework/app.h"

#include "framework/ole_apartment.h"

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
    InitInstance();
    LeaveOleApartment();
    return 0;
}

} // namespace qv
