#pragma once

namespace qv {

// OLE's single-threaded apartment on the GUI thread, entered at the first use of what needs it
// (the browser control, the shell, the file dialog) rather than at start: loading OLE is a good
// part of the launch under Wine, and most sessions never need it.
void EnterOleApartment();

// Leaves the apartment if EnterOleApartment entered it on this thread; the application calls it
// as it ends.
void LeaveOleApartment();

} // namespace qv
