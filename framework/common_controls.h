#pragma once

#include <windows.h>

#include "framework/unique_handle.h"

namespace qv {

inline void ReleaseActivationContext(HANDLE context) {
    ReleaseActCtx(context);
}
using UniqueActivationContext = Unique<HANDLE, &ReleaseActivationContext>;

// The common controls with visual styles (version 6), named by a manifest among the program's
// resources. The program's own manifest leaves them out, so that a window made before they are
// activated, the bar, is shown without waiting for their library to load. Null when the manifest
// could not be read: windows then take the system's plain controls.
UniqueActivationContext CommonControlsContext(int manifestId);

// Activates a context for its own lifetime, on this thread; nothing for a null one.
class ActivatedContext {
public:
    explicit ActivatedContext(HANDLE context);
    ~ActivatedContext();
    ActivatedContext(const ActivatedContext&) = delete;
    ActivatedContext& operator=(const ActivatedContext&) = delete;

private:
    ULONG_PTR cookie_ = 0;
    bool active_ = false;
};

// Loads the common controls library, the version the active context names, once for the
// process, and registers all its standard classes.
bool InitCommonControlsOnce();

} // namespace qv
