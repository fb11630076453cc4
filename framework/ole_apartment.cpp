#include "framework/ole_apartment.h"

#include <ole2.h>

namespace qv {

namespace {

thread_local bool entered = false; // an apartment is a thread's own

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
