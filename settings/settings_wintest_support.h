#pragma once

#include <windows.h>

#include <filesystem>
#include <string>

#include "framework/wide_text.h"

namespace qv::testing {

// The Run-key entry that starts the Quorvel.exe built beside this test program, found without
// the code under test: the folder of this program's own file, and the name, in quotes.
inline std::string QuotedQuorvelBesideThisProgram() {
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    const std::filesystem::path program =
        std::filesystem::path(self).parent_path() / L"Quorvel.exe";
    std::string quoted = "\"";
    quoted.append(Utf8(program.wstring())).push_back('"');
    return quoted;
}

} // namespace qv::testing
