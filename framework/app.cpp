#include "framework/app.h"

#include "framework/ole_apartment.h"

namespace qv {

int CWinApp::Run() {
    InitInstance();
    LeaveOleApartment();
    return 0;
}

} // namespace qv
