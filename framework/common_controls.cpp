#include "framework/common_controls.h"

#include <commctrl.h>

namespace qv {

UniqueActivationContext CommonControlsContext(int manifestId) {
    ACTCTXW request{};
    request.cbSize = sizeof request;
    request.dwFlags = ACTCTX_FLAG_HMODULE_VALID | ACTCTX_FLAG_RESOURCE_NAME_VALID;
    request.hModule = GetModuleHandleW(nullptr);
    request.lpResourceName = MAKEINTRESOURCEW(manifestId);
    const HANDLE context = CreateActCtxW(&request);
    return UniqueActivationContext(context == INVALID_HANDLE_VALUE ? nullptr : context);
}

ActivatedContext::ActivatedContext(HANDLE context) {
    active_ = context && ActivateActCtx(context, &cookie_);
}

ActivatedContext::~ActivatedContext() {
    if (active_) {
        DeactivateActCtx(0, cookie_);
    }
}

// Loaded by name, not imported: an import would load the library, in the version the program's
// own manifest names, before the bar could show.
bool InitCommonControlsOnce() {
    using InitFunction = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
    static const InitFunction init = [] {
        const HMODULE library = LoadLibraryW(L"comctl32.dll"); // kept for the process's life
        return library ? reinterpret_cast<InitFunction>(reinterpret_cast<void*>(
                             GetProcAddress(library, "InitCommonControlsEx")))
                       : nullptr;
    }();
    const INITCOMMONCONTROLSEX controls{sizeof controls, 0xFF};
    return init && init(&controls);
}

} // namespace qv
