#include "settings/file_choice.h"

#include <cderr.h>
#include <commdlg.h>

#include "framework/ole_apartment.h"
#include "settings/playlist_edits.h"

namespace qv {

namespace {

constexpr char kAllFilesFilter[] = "All Files (*.*)\0*.*\0";

// Fills `answer` (its size is the room given) and tells whether the user confirmed.
bool AskForFiles(HWND owner, DWORD flags, std::string& answer) {
    OPENFILENAMEA dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = kAllFilesFilter;
    dialog.lpstrFile = answer.data();
    dialog.nMaxFile = DWORD(answer.size());
    dialog.lpstrDefExt = "*.*";
    dialog.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | flags;
    EnterOleApartment(); // the Explorer-style dialog browses through the shell's COM objects
    return GetOpenFileNameA(&dialog) != FALSE;
}

} // namespace

std::optional<std::string> ChooseOneFile(HWND owner) {
    std::string answer(kLongestPathChars, '\0');
    if (!AskForFiles(owner, 0, answer)) {
        return std::nullopt;
    }
    answer.resize(answer.find('\0'));
    return answer;
}

ChosenFiles ChooseFiles(HWND owner) {
    std::string answer(kMultipleSelectionChars, '\0');
    if (!AskForFiles(owner, OFN_ALLOWMULTISELECT, answer)) {
        return {{}, CommDlgExtendedError() == FNERR_BUFFERTOOSMALL};
    }
    if (AnswerFillsBuffer(answer)) {
        return {{}, true};
    }
    return {SelectedFilePaths(answer), false};
}

} // namespace qv
