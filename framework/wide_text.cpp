#include "framework/wide_text.h"

namespace qv {

std::wstring Widen(std::string_view text, UINT codePage) {
    const int length = MultiByteToWideChar(codePage, 0, text.data(), int(text.size()), nullptr, 0);
    if (length <= 0) {
        return {};
    }
    std::wstring wide(size_t(length), L'\0');
    MultiByteToWideChar(codePage, 0, text.data(), int(text.size()), wide.data(), length);
    return wide;
}

std::string Narrow(std::wstring_view wide, UINT codePage) {
    const int length = WideCharToMultiByte(codePage, 0, wide.data(), int(wide.size()), nullptr, 0,
                                           nullptr, nullptr);
    if (length <= 0) {
        return {};
    }
    std::string text(size_t(length), '\0');
    WideCharToMultiByte(codePage, 0, wide.data(), int(wide.size()), text.data(), length, nullptr,
                        nullptr);
    return text;
}

// No best-fit letters ("e" for "ĕ") and no default character: either would write another text.
bool NarrowExactly(std::wstring_view wide, std::string& narrow) {
    narrow.clear();
    if (wide.empty()) {
        return true;
    }
    constexpr DWORD kFlags = WC_NO_BEST_FIT_CHARS;
    const int length = WideCharToMultiByte(CP_ACP, kFlags, wide.data(), int(wide.size()), nullptr,
                                           0, nullptr, nullptr);
    if (length <= 0) {
        return false;
    }
    narrow.assign(size_t(length), '\0');
    BOOL usedDefault = FALSE;
    WideCharToMultiByte(CP_ACP, kFlags, wide.data(), int(wide.size()), narrow.data(), length,
                        nullptr, &usedDefault);
    return !usedDefault;
}

} // namespace qv
