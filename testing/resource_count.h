#pragma once

namespace qv::testing {

// How many GDI objects and kernel handles this process holds. Wine answers neither
// GetGuiResources nor GetProcessHandleCount (both give 0 however many leak), so under Wine they
// are counted from its GDI handle table and the system handle list.
int GdiObjectCount();
int KernelHandleCount();

} // namespace qv::testing
