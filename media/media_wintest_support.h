#pragma once

#include <windows.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "framework/list_rows.h"
#include "framework/pixel_rect.h"
#include "framework/program_file_path.h"
#include "framework/wide_text.h"

namespace qv::testing {

inline PixelRect ScreenRect(HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

inline PixelRect RectInParent(HWND control) {
    RECT r{};
    GetWindowRect(control, &r);
    MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&r), 2);
    return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

// Every row of a list box, top to bottom, in UTF-8.
inline std::vector<std::string> Rows(const Window& list) {
    std::vector<std::string> rows;
    for (int i = 0; i < RowCount(list); ++i) {
        rows.push_back(Utf8(RowText(list, i)));
    }
    return rows;
}

inline BYTE LayeredAlpha(HWND window) {
    BYTE alpha = 0;
    GetLayeredWindowAttributes(window, nullptr, &alpha, nullptr);
    return alpha;
}

// The colour key and the flags a layered window has in force.
inline std::pair<COLORREF, DWORD> LayeredKeying(HWND window) {
    COLORREF key = 0;
    DWORD flags = 0;
    GetLayeredWindowAttributes(window, &key, nullptr, &flags);
    return {key, flags};
}
inline const std::pair<COLORREF, DWORD> kGreenKeyAndAlpha{RGB(0, 255, 0), LWA_COLORKEY | LWA_ALPHA};

inline bool HasStyle(HWND window, LONG_PTR style) {
    return (GetWindowLongPtrA(window, GWL_STYLE) & style) == style;
}
inline bool HasAnyStyle(HWND window, LONG_PTR style) {
    return (GetWindowLongPtrA(window, GWL_STYLE) & style) != 0;
}

// Whether the pointer shows the system hand once the window has handled `message` at (x, y)
// with `keys` down; the arrow is set first.
inline bool HandAfter(HWND window, UINT message, int x, int y, WPARAM keys = 0) {
    SetCursor(LoadCursorA(nullptr, IDC_ARROW));
    SendMessageA(window, message, keys, MAKELPARAM(x, y));
    return GetCursor() == LoadCursorA(nullptr, IDC_HAND);
}

// Whether some part of the window still waits for its paint.
inline bool WaitsForPaint(HWND window) {
    return GetUpdateRect(window, nullptr, FALSE) != FALSE;
}

// A file beside the program that a test sets up and that is gone again afterwards.
class FileBesideProgram {
public:
    explicit FileBesideProgram(const char* name) : path_(ProgramFilePath(name)) { Remove(); }
    FileBesideProgram(const FileBesideProgram&) = delete;
    FileBesideProgram& operator=(const FileBesideProgram&) = delete;
    ~FileBesideProgram() { Remove(); }

    const std::string& path() const { return path_; }
    bool Exists() const { return GetFileAttributesW(Wide().c_str()) != INVALID_FILE_ATTRIBUTES; }
    void Write(const std::string& bytes) const {
        std::ofstream(std::filesystem::path(Wide()), std::ios::binary) << bytes;
    }
    std::string Read() const {
        std::ostringstream bytes;
        bytes << std::ifstream(std::filesystem::path(Wide()), std::ios::binary).rdbuf();
        return bytes.str();
    }
    // A directory in the file's place: it can be neither opened nor replaced as a file.
    void BlockWithDirectory() const { CreateDirectoryW(Wide().c_str(), nullptr); }
    // The file, or the directory in its place, is gone.
    void Remove() const {
        SetFileAttributesW(Wide().c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileW(Wide().c_str());
        RemoveDirectoryW(Wide().c_str());
    }

private:
    std::wstring Wide() const { return FromUtf8(path_); }
    std::string path_;
};

} // namespace qv::testing
