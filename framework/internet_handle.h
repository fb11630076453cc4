#pragma once

#include <windows.h>
#include <wininet.h>

#include "framework/unique_handle.h"

namespace qv {

inline void CloseInternetHandle(HINTERNET handle) {
    InternetCloseHandle(handle);
}

// Sessions and the files opened through them.
using UniqueInternet = Unique<HINTERNET, &CloseInternetHandle>;

} // namespace qv
