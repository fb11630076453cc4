#pragma once

#include <windows.h>

#include "framework/handles.h"

namespace qv {

// CreateFile's failure value is INVALID_HANDLE_VALUE, not null: this owner takes it as none.
inline UniqueKernelHandle OwnFileHandle(HANDLE file) {
    return UniqueKernelHandle(file == INVALID_HANDLE_VALUE ? nullptr : file);
}

} // namespace qv
