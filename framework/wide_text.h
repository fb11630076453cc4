#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace qv {

// Text between a code page and UTF-16; empty when the conversion fails.
std::wstring Widen(std::string_view text, UINT codePage = CP_ACP);
std::string Narrow(std::wstring_view wide, UINT codePage = CP_ACP);

} // namespace qv
