#include "framework/ole_apartment.h"

#include <ole2.h>

namespace qv {

namespace {

bool entered = false; // the GUI thread's only

} // namespace

void EnterOleApartment() {
    if (!entered) {
        entered = SUCCEEDED(OleInitialize(nullptr));
    }
}

void LeaveOleApartment() {
    if (entered) {
        OleUninitialize();
        entered = false;
    }
}

} // namespace qv
