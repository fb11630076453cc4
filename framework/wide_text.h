#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace qv {

// Text between a code page and UTF-16; empty when the conversion fails.
std::wstring Widen(std::string_view text, UINT codePage = CP_ACP);
std::string Narrow(std::wstring_view wide, UINT codePage = CP_ACP);

// The portable rules keep text as UTF-8, or as char16_t where they count UTF-16 units; windows
// take it as wchar_t, which is UTF-16 on Windows.
inline std::string Utf8(std::wstring_view wide) {
    return Narrow(wide, CP_UTF8);
}
inline std::wstring FromUtf8(std::string_view text) {
    return Widen(text, CP_UTF8);
}
inline std::u16string Utf16(std::wstring_view wide) {
    return {wide.begin(), wide.end()};
}
inline std::wstring Wide(std::u16string_view text) {
    return {text.begin(), text.end()};
}

// The text in the ANSI code page, only when that page holds every one of its characters.
bool NarrowExactly(std::wstring_view wide, std::string& narrow);

} // namespace qv
