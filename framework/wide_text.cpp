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

} // namespace qv
