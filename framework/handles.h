#pragma once

#include <windows.h>
#include <oleauto.h>

#include <cstring>

#include "framework/unique_handle.h"

namespace qv {

// Wrappers, not the imported functions themselves: a dllimport address is no template argument.
inline void CloseGdiObject(HGDIOBJ object) {
    DeleteObject(object);
}
inline void CloseMemoryDC(HDC dc) {
    DeleteDC(dc);
}
inline void CloseRegKey(HKEY key) {
    RegCloseKey(key);
}
inline void CloseMenu(HMENU menu) {
    DestroyMenu(menu);
}
inline void CloseKernelHandle(HANDLE handle) {
    CloseHandle(handle);
}
inline void RemoveHook(HHOOK hook) {
    UnhookWindowsHookEx(hook);
}

template <typename Interface> void ReleaseComObject(Interface* object) {
    object->Release();
}
inline void FreeBstr(BSTR text) {
    SysFreeString(text);
}
inline void FreeLocalText(char* text) {
    LocalFree(text);
}

using UniqueFont = Unique<HFONT, &CloseGdiObject>;
using UniqueBrush = Unique<HBRUSH, &CloseGdiObject>;
using UniquePen = Unique<HPEN, &CloseGdiObject>;
using UniqueBitmap = Unique<HBITMAP, &CloseGdiObject>;
using UniqueMemoryDC = Unique<HDC, &CloseMemoryDC>;
using UniqueRegKey = Unique<HKEY, &CloseRegKey>;
using UniqueMenu = Unique<HMENU, &CloseMenu>;
using UniqueKernelHandle = Unique<HANDLE, &CloseKernelHandle>;

// CreateFile's failure value is INVALID_HANDLE_VALUE, not null: this owner takes it as none.
inline UniqueKernelHandle OwnFileHandle(HANDLE file) {
    return UniqueKernelHandle(file == INVALID_HANDLE_VALUE ? nullptr : file);
}
using UniqueBstr = Unique<BSTR, &FreeBstr>;
// A text the system allocated for the caller (FORMAT_MESSAGE_ALLOCATE_BUFFER).
using UniqueLocalText = Unique<char*, &FreeLocalText>;
using UniqueHook = Unique<HHOOK, &RemoveHook>;
// A COM interface: released, never deleted, by its owner.
template <typename Interface>
class ComPtr : public Unique<Interface*, &ReleaseComObject<Interface>> {
public:
    using Unique<Interface*, &ReleaseComObject<Interface>>::Unique;

    Interface* operator->() const { return this->get(); }

    // For the creation and query calls that hand the interface back as a void**.
    void** PutVoid() { return reinterpret_cast<void**>(this->put()); }

    // Another interface of the same object, or an empty pointer when it has none.
    template <typename Other> ComPtr<Other> Query(REFIID iid) const {
        ComPtr<Other> other;
        if (this->get()) {
            this->get()->QueryInterface(iid, other.PutVoid());
        }
        return other;
    }
};

// The program's fonts: a face at a pixel height, ClearType, swiss family.
inline UniqueFont CreateFaceFont(const char* face, int height, int weight) {
    return UniqueFont(CreateFontA(height, 0, 0, 0, weight, FALSE, FALSE, FALSE, ANSI_CHARSET,
                                  OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY,
                                  FF_SWISS, face));
}

// The font for the face, height and weight last asked for, made again only when one of them
// changes: the bar and the balloon repaint every second from fields read at paint time.
class FaceFontCache {
public:
    HFONT Get(const char* face, int height, int weight) {
        if (!font_ || height != height_ || weight != weight_ ||
            std::strncmp(face, face_, sizeof face_ - 1) != 0) {
            font_ = CreateFaceFont(face, height, weight);
            std::strncpy(face_, face, sizeof face_ - 1);
            height_ = height;
            weight_ = weight;
        }
        return font_.get();
    }

private:
    UniqueFont font_;
    char face_[LF_FACESIZE] = {};
    int height_ = 0;
    int weight_ = 0;
};

// GetDC / ReleaseDC: the guard keeps the window for the release.
class WindowDC {
public:
    explicit WindowDC(HWND window) : window_(window), dc_(GetDC(window)) {}
    WindowDC(const WindowDC&) = delete;
    WindowDC& operator=(const WindowDC&) = delete;
    ~WindowDC() {
        if (dc_) {
            ReleaseDC(window_, dc_);
        }
    }
    HDC get() const { return dc_; }

private:
    HWND window_;
    HDC dc_;
};

class PaintDC {
public:
    explicit PaintDC(HWND window) : window_(window) { BeginPaint(window_, &paint_); }
    PaintDC(const PaintDC&) = delete;
    PaintDC& operator=(const PaintDC&) = delete;
    ~PaintDC() { EndPaint(window_, &paint_); }
    HDC get() const { return paint_.hdc; }

private:
    HWND window_;
    PAINTSTRUCT paint_{};
};

// Selects an object into a DC and puts the previous one back when it goes out of scope.
class SelectGuard {
public:
    SelectGuard(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object)) {}
    SelectGuard(const SelectGuard&) = delete;
    SelectGuard& operator=(const SelectGuard&) = delete;
    ~SelectGuard() {
        if (previous_ && previous_ != HGDI_ERROR) {
            SelectObject(dc_, previous_);
        }
    }

private:
    HDC dc_;
    HGDIOBJ previous_;
};

} // namespace qv
