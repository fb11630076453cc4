#include "ui/browser_command.h"

namespace qv {

std::wstring BrowserCommandLine(std::wstring_view command, std::wstring_view url) {
    std::wstring line;
    bool placed = false;
    for (size_t i = 0; i < command.size(); ++i) {
        const wchar_t next = i + 1 < command.size() ? command[i + 1] : L'\0';
        if (command[i] == L'%' && (next == L'1' || next == L'L' || next == L'l')) {
            line += url;
            placed = true;
            ++i;
        } else if (command[i] == L'%' && next == L'*') {
            ++i;
        } else {
            line += command[i];
        }
    }
    if (!placed) {
        line += L" \"";
        line += url;
        line += L'"';
    }
    return line;
}

} // namespace qv
