#pragma once

#include <windows.h>

#include "framework/message_table.h"
#include "framework/window.h"

namespace qv {

// A window made from a dialog template, run modally or created modeless. Subclasses name their
// template, list their messages in a table and bind their controls in BindControls().
class CDialog : public Window {
public:
    explicit CDialog(UINT templateId) : templateId_(templateId) {}
    CDialog(const CDialog&) = delete;
    CDialog& operator=(const CDialog&) = delete;
    virtual ~CDialog();

    UINT TemplateId() const { return templateId_; }

    // Runs its own loop (not DialogBox's) so that keyboard input also reaches the modeless
    // windows through IsDialogMessage. Ends on EndDialog or WM_QUIT (which is posted again).
    // The loop runs in `loopContext`, an activation context, once the dialog is made: what its
    // handlers make takes the classes that context names.
    INT_PTR RunModal(HWND owner, HANDLE loopContext = nullptr);
    bool Create(HWND owner);
    void EndDialog(INT_PTR result);
    void Destroy();

    // Gives keyboard messages to whichever live dialog they belong to.
    static bool RouteDialogMessage(MSG& msg);

protected:
    virtual MessageTable Messages() const { return {}; }
    virtual void BindControls() {}
    virtual BOOL OnInitDialog() { return TRUE; }
    void Bind(int id, Window& control) const { control.Attach(Item(id)); }

private:
    static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM w, LPARAM l);
    INT_PTR Dispatch(UINT message, WPARAM w, LPARAM l);
    INT_PTR DefaultCommand(WPARAM w);
    bool CreateFromTemplate(HWND owner);
    void Forget();

    UINT templateId_;
    bool modal_ = false;
    bool modalDone_ = false;
    INT_PTR modalResult_ = -1;
};

} // namespace qv
