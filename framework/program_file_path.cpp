#include "framework/program_file_path.h"

#include <windows.h>

#include "framework/program_path.h"
#include "framework/wide_text.h"

namespace qv {

std::string ProgramFilePath(const char* fileName) {
    std::wstring module(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, module.data(), DWORD(module.size()));
        if (length < module.size()) {
            module.resize(length);
            break;
        }
        module.resize(module.size() * 2);
    }
    return std::string(DirectoryWithSeparator(Utf8(module))) + fileName;
}

} // namespace qv
