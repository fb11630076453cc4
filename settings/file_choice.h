#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace qv {

// The platform's file-open dialog as the playlist editor asks it: all files, owned by `owner`.
// Nothing when the user cancels.
std::optional<std::string> ChooseOneFile(HWND owner);

struct ChosenFiles {
    std::vector<std::string> paths; // in the order the dialog reports them
    bool tooMany = false;           // the names did not fit even the large answer buffer
};
ChosenFiles ChooseFiles(HWND owner);

// Room for one path, however deep.
inline constexpr DWORD kLongestPathChars = 32768;
// Room for the names of a multiple selection: hundreds of files with long names.
inline constexpr DWORD kMultipleSelectionChars = 1u << 18;

} // namespace qv
