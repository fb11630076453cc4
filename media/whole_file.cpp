#include "media/whole_file.h"

#include <windows.h>

#include <algorithm>

#include "framework/handles.h"

namespace qv {

namespace {

UniqueKernelHandle OpenFile(const std::string& path, DWORD access, DWORD disposition) {
    HANDLE file = CreateFileA(path.c_str(), access, FILE_SHARE_READ, nullptr, disposition,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    return UniqueKernelHandle(file == INVALID_HANDLE_VALUE ? nullptr : file);
}

std::string SystemText(DWORD error) {
    char* text = nullptr;
    FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                       FORMAT_MESSAGE_IGNORE_INSERTS,
                   nullptr, error, 0, reinterpret_cast<char*>(&text), 0, nullptr);
    std::string message = text ? text : "The file could not be accessed.";
    LocalFree(text);
    return message;
}

bool ReportFileError(const std::string& path, DWORD error) {
    const std::string message = path + "\n" + SystemText(error);
    MessageBoxA(GetActiveWindow(), message.c_str(), "Quorvel", MB_OK | MB_ICONEXCLAMATION);
    return false;
}

bool WriteAll(HANDLE file, std::string_view bytes) {
    while (!bytes.empty()) {
        DWORD written = 0;
        const DWORD chunk = DWORD(std::min<size_t>(bytes.size(), 1u << 30));
        if (!WriteFile(file, bytes.data(), chunk, &written, nullptr) || written == 0) {
            return false;
        }
        bytes.remove_prefix(written);
    }
    return true;
}

bool ReadAll(HANDLE file, std::string& bytes) {
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file, &size) || size.QuadPart > (1ll << 30)) {
        return false;
    }
    bytes.resize(size_t(size.QuadPart));
    size_t done = 0;
    while (done < bytes.size()) {
        DWORD read = 0;
        if (!ReadFile(file, bytes.data() + done, DWORD(bytes.size() - done), &read, nullptr)) {
            return false;
        }
        if (read == 0) {
            break; // shorter than its size said: take what is there
        }
        done += read;
    }
    bytes.resize(done);
    return true;
}

} // namespace

std::optional<std::string> ReadWholeFileCreatingIt(const std::string& path) {
    std::string bytes;
    UniqueKernelHandle file = OpenFile(path, GENERIC_READ, OPEN_ALWAYS);
    if (!file || !ReadAll(file.get(), bytes)) {
        ReportFileError(path, GetLastError());
        return std::nullopt;
    }
    return bytes;
}

bool WriteWholeFile(const std::string& path, std::string_view bytes) {
    UniqueKernelHandle file = OpenFile(path, GENERIC_WRITE, CREATE_ALWAYS);
    if (!file || !WriteAll(file.get(), bytes)) {
        return ReportFileError(path, GetLastError());
    }
    return true;
}

bool ReplaceWholeFile(const std::string& path, std::string_view bytes) {
    const std::string copy = path + ".new";
    {
        UniqueKernelHandle file = OpenFile(copy, GENERIC_WRITE, CREATE_ALWAYS);
        if (!file || !WriteAll(file.get(), bytes) || !FlushFileBuffers(file.get())) {
            const DWORD error = GetLastError();
            file.reset();
            DeleteFileA(copy.c_str());
            return ReportFileError(path, error);
        }
    }
    if (!MoveFileExA(copy.c_str(), path.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        const DWORD error = GetLastError();
        DeleteFileA(copy.c_str());
        return ReportFileError(path, error);
    }
    return true;
}

} // namespace qv
