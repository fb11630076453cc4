#include "settings/file_choice.h"

#include <cderr.h>
#include <commctrl.h>
#include <commdlg.h>

#include "framework/handles.h"
#include "framework/ole_apartment.h"
#include "framework/wide_text.h"
#include "settings/playlist_edits.h"

namespace qv {

namespace {

constexpr wchar_t kAllFilesFilter[] = L"All Files (*.*)\0*.*\0";

// Wine's Unicode dialog copies a selection into the answer without looking at its room, so an
// OK whose folder and names cannot fit is turned into a cancel before the dialog sees it, and
// reported as the buffer too small that Windows itself reports. A dialog that cannot say its
// folder or names (Windows' newer one) is left alone.
class AnswerRoomGuard {
public:
    explicit AnswerRoomGuard(DWORD room)
        : room_(room),
          hook_(SetWindowsHookExW(WH_CBT, &AnswerRoomGuard::OnCbt, nullptr, GetCurrentThreadId())) {
        current_ = this;
    }
    ~AnswerRoomGuard() { current_ = nullptr; }
    AnswerRoomGuard(const AnswerRoomGuard&) = delete;
    AnswerRoomGuard& operator=(const AnswerRoomGuard&) = delete;

    bool Refused() const { return refused_; }

private:
    static LRESULT CALLBACK OnCbt(int code, WPARAM wParam, LPARAM lParam) {
        if (code == HCBT_CREATEWND && current_ && IsDialogClass(HWND(wParam))) {
            SetWindowSubclass(HWND(wParam), &AnswerRoomGuard::OnDialog, 0, 0);
        }
        return CallNextHookEx(nullptr, code, wParam, lParam);
    }

    static bool IsDialogClass(HWND window) {
        wchar_t name[8] = {};
        return GetClassNameW(window, name, 8) && std::wstring_view(name) == L"#32770";
    }

    static LRESULT CALLBACK OnDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam,
                                     UINT_PTR id, DWORD_PTR) {
        if (message == WM_COMMAND && LOWORD(wParam) == IDOK && current_ &&
            !current_->AnswerFits(dialog)) {
            current_->refused_ = true;
            return DefSubclassProc(dialog, WM_COMMAND, IDCANCEL, 0);
        }
        if (message == WM_NCDESTROY) {
            RemoveWindowSubclass(dialog, &AnswerRoomGuard::OnDialog, id);
        }
        return DefSubclassProc(dialog, message, wParam, lParam);
    }

    // The folder, the names as typed (quotes and spaces count, so never less than the answer)
    // and the ending zeros.
    bool AnswerFits(HWND dialog) const {
        const LRESULT folder = SendMessageW(dialog, CDM_GETFOLDERPATH, 0, 0);
        const LRESULT names = SendMessageW(dialog, CDM_GETSPEC, 0, 0);
        return folder <= 0 || names <= 0 || uint64_t(folder) + uint64_t(names) + 1 <= room_;
    }

    static inline thread_local AnswerRoomGuard* current_ = nullptr;
    DWORD room_;
    bool refused_ = false;
    UniqueHook hook_;
};

// The dialog's answer, of `room` characters, as UTF-8 with its zeros (the whole room, so that an
// answer that fills it still shows as full); nothing when the user did not confirm, or when
// `tooMany` is set: the folder and names chosen do not fit the room.
std::optional<std::string> AskForFiles(HWND owner, DWORD flags, DWORD room, bool& tooMany) {
    std::wstring answer(room, L'\0');
    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = kAllFilesFilter;
    dialog.lpstrFile = answer.data();
    dialog.nMaxFile = room;
    dialog.lpstrDefExt = L"*.*";
    dialog.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | flags;
    EnterOleApartment(); // the Explorer-style dialog browses through the shell's COM objects
    const AnswerRoomGuard guard(room);
    const bool confirmed = GetOpenFileNameW(&dialog) != FALSE;
    tooMany = guard.Refused() || (!confirmed && CommDlgExtendedError() == FNERR_BUFFERTOOSMALL);
    if (!confirmed || tooMany) {
        return std::nullopt;
    }
    return Utf8(answer);
}

} // namespace

std::optional<std::string> ChooseOneFile(HWND owner) {
    bool tooMany = false;
    std::optional<std::string> answer = AskForFiles(owner, 0, kLongestPathChars, tooMany);
    if (answer) {
        answer->resize(answer->find('\0'));
    }
    return answer;
}

ChosenFiles ChooseFiles(HWND owner) {
    bool tooMany = false;
    const std::optional<std::string> answer =
        AskForFiles(owner, OFN_ALLOWMULTISELECT, kMultipleSelectionChars, tooMany);
    if (!answer) {
        return {{}, tooMany};
    }
    if (AnswerFillsBuffer(*answer)) {
        return {{}, true};
    }
    return {SelectedFilePaths(*answer), false};
}

} // namespace qv
