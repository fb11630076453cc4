#include "framework/whole_file.h"

#include <windows.h>

#include <algorithm>

#include "framework/handles.h"
#include "framework/wide_text.h"

namespace qv {

namespace {

UniqueKernelHandle OpenFile(const std::string& path, DWORD access, DWORD disposition) {
    return OwnFileHandle(CreateFileW(FromUtf8(path).c_str(), access, FILE_SHARE_READ, nullptr,
                                     disposition, FILE_ATTRIBUTE_NORMAL, nullptr));
}

std::string SystemText(DWORD error) {
    UniqueLocalText text;
    FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                       FORMAT_MESSAGE_IGNORE_INSERTS,
                   nullptr, error, 0, reinterpret_cast<char*>(text.put()), 0, nullptr);
    return text ? text.get() : "The file could not be accessed.";
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

constexpr long long kLargestFile = 1ll << 30;

// False with the thread's last error set to the cause; a file over the limit sets its own error,
// so no earlier call's error is reported in its place.
bool ReadAll(HANDLE file, std::string& bytes) {
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file, &size)) {
        return false;
    }
    if (size.QuadPart > kLargestFile) {
        SetLastError(ERROR_FILE_TOO_LARGE);
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

std::optional<std::string> ReadWholeFileCreatingIt(const std::string& path, FileError& error) {
    std::string bytes;
    UniqueKernelHandle file = OpenFile(path, GENERIC_READ, OPEN_ALWAYS);
    if (!file || !ReadAll(file.get(), bytes)) {
        error = GetLastError();
        return std::nullopt;
    }
    error = 0;
    return bytes;
}

FileError WriteWholeFile(const std::string& path, std::string_view bytes) {
    UniqueKernelHandle file = OpenFile(path, GENERIC_WRITE, CREATE_ALWAYS);
    if (!file || !WriteAll(file.get(), bytes)) {
        return GetLastError();
    }
    return 0;
}

FileError ReplaceWholeFile(const std::string& path, std::string_view bytes) {
    const std::string copy = path + ".new";
    {
        UniqueKernelHandle file = OpenFile(copy, GENERIC_WRITE, CREATE_ALWAYS);
        if (!file || !WriteAll(file.get(), bytes) || !FlushFileBuffers(file.get())) {
            const DWORD error = GetLastError();
            file.reset();
            DeleteFileW(FromUtf8(copy).c_str());
            return error;
        }
    }
    if (!MoveFileExW(FromUtf8(copy).c_str(), FromUtf8(path).c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        const DWORD error = GetLastError();
        DeleteFileW(FromUtf8(copy).c_str());
        return error;
    }
    return 0;
}

void ShowFileError(const std::string& path, FileError error) {
    const std::wstring message = FromUtf8(path) + L"\n" + Widen(SystemText(error));
    MessageBoxW(GetActiveWindow(), message.c_str(), L"Quorvel", MB_OK | MB_ICONEXCLAMATION);
}

} // namespace qv
