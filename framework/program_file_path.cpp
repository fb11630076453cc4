#include "framework/program_file_path.h"

#include <windows.h>

#include "framework/program_path.h"

namespace qv {

std::string ProgramFilePath(const char* fileName) {
    std::string module(MAX_PATH, '\0');
    for (;;) {
        const DWORD length = GetModuleFileNameA(nullptr, module.data(), DWORD(module.size()));
        if (length < module.size()) {
            module.resize(length);
            break;
        }
        module.resize(module.size() * 2);
    }
    return std::string(DirectoryWithSeparator(module)) + fileName;
}

} // namespace qv
