#include "framework/dialog.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "framework/common_controls.h"

namespace qv {

namespace {

// The dialog whose window is being made: messages arrive before WM_INITDIALOG.
thread_local CDialog* creating = nullptr;

std::vector<CDialog*>& LiveDialogs() {
    static std::vector<CDialog*> dialogs;
    return dialogs;
}

bool ReturnsValueDirectly(UINT message) {
    switch (message) {
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
    case WM_COMPAREITEM:
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM:
    case WM_QUERYDRAGICON:
        return true;
    default:
        return false;
    }
}

} // namespace

CDialog::~CDialog() {
    if (hwnd_ && IsWindow(hwnd_)) {
        DestroyWindow(hwnd_);
    }
    Forget();
}

bool CDialog::CreateFromTemplate(HWND owner) {
    creating = this;
    HWND window = CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(templateId_),
                                     owner, &CDialog::DialogProc, 0);
    creating = nullptr;
    return window != nullptr;
}

bool CDialog::Create(HWND owner) {
    modal_ = false;
    return CreateFromTemplate(owner);
}

INT_PTR CDialog::RunModal(HWND owner, HANDLE loopContext) {
    modal_ = true;
    modalDone_ = false;
    modalResult_ = -1;
    const bool ownerWasEnabled = owner && IsWindowEnabled(owner);
    if (ownerWasEnabled) {
        EnableWindow(owner, FALSE);
    }
    if (CreateFromTemplate(owner)) {
        ShowWindow(hwnd_, SW_SHOW);
        const ActivatedContext inLoopContext(loopContext);
        MSG msg;
        while (!modalDone_ && hwnd_) {
            const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
            if (got <= 0) {
                if (got == 0) {
                    PostQuitMessage(int(msg.wParam));
                }
                break;
            }
            if (!RouteDialogMessage(msg)) {
                TranslateMessage(&msg);
                DispatchMessageW(&msg);
            }
        }
    }
    if (ownerWasEnabled) {
        EnableWindow(owner, TRUE);
        SetActiveWindow(owner);
    }
    Destroy();
    modal_ = false;
    return modalResult_;
}

void CDialog::EndDialog(INT_PTR result) {
    modalResult_ = result;
    modalDone_ = true;
}

void CDialog::Destroy() {
    if (hwnd_) {
        DestroyWindow(hwnd_);
    }
}

void CDialog::Forget() {
    auto& dialogs = LiveDialogs();
    dialogs.erase(std::remove(dialogs.begin(), dialogs.end(), this), dialogs.end());
    hwnd_ = nullptr;
}

bool CDialog::RouteDialogMessage(MSG& msg) {
    if (msg.message < WM_KEYFIRST || msg.message > WM_KEYLAST) {
        return false;
    }
    // By index: a handler reached through IsDialogMessage may create or destroy dialogs.
    auto& dialogs = LiveDialogs();
    for (size_t i = 0; i < dialogs.size(); ++i) {
        HWND window = dialogs[i]->hwnd_;
        if (window && IsDialogMessageW(window, &msg)) {
            return true;
        }
    }
    return false;
}

INT_PTR CALLBACK CDialog::DialogProc(HWND window, UINT message, WPARAM w, LPARAM l) {
    auto* self = reinterpret_cast<CDialog*>(GetWindowLongPtrW(window, DWLP_USER));
    if (!self && creating) {
        self = std::exchange(creating, nullptr);
        self->hwnd_ = window;
        SetWindowLongPtrW(window, DWLP_USER, reinterpret_cast<LONG_PTR>(self));
        LiveDialogs().push_back(self);
    }
    if (!self) {
        return FALSE;
    }
    const INT_PTR result = self->Dispatch(message, w, l);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(window, DWLP_USER, 0);
        self->Forget();
    }
    return result;
}

INT_PTR CDialog::Dispatch(UINT message, WPARAM w, LPARAM l) {
    if (message == WM_INITDIALOG) {
        BindControls();
        // A window still hidden takes no focus: under Wine, focus given to a hidden window
        // activates it, and the window the user has loses the activation. Shown, it focuses
        // its first control as it activates.
        return OnInitDialog() && IsWindowVisible(hwnd_);
    }
    for (const MessageEntry& entry : Messages()) {
        if (!entry.Matches(message, w)) {
            continue;
        }
        const LRESULT result = entry.thunk(*this, w, l);
        if (entry.after == After::Default) {
            return FALSE;
        }
        if (ReturnsValueDirectly(message)) {
            return result;
        }
        SetWindowLongPtrW(hwnd_, DWLP_MSGRESULT, result);
        return TRUE;
    }
    if (message == WM_COMMAND) {
        return DefaultCommand(w);
    }
    return FALSE;
}

INT_PTR CDialog::DefaultCommand(WPARAM w) {
    const UINT id = LOWORD(w);
    if (modal_ && (id == IDOK || id == IDCANCEL) && HIWORD(w) <= 1) {
        EndDialog(id);
        return TRUE;
    }
    return FALSE;
}

} // namespace qv
