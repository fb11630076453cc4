#pragma once

#include <string>
#include <string_view>

namespace qv {

// Windows code page numbers: feeds and servers name their encodings, the text keeps the number.
inline constexpr unsigned kCodePageUtf8 = 65001;
inline constexpr unsigned kCodePageWestern = 1252;

// The code page of an encoding name as feeds and servers write it, without regard to case; 0
// when the name is unknown.
unsigned CodePageOfEncodingName(std::string_view name);

// Appends bytes written in a code page as UTF-16. UTF-8 that is not valid UTF-8 is read as
// Western, the common mistake of undeclared Latin-1 feeds; a code page the system lacks is read
// as Western too. Other pages are read through the system's tables (Windows' own, iconv
// natively); a byte a page does not map becomes U+FFFD or the system's default character.
void AppendDecoded(std::u16string& out, std::string_view bytes, unsigned codePage);

} // namespace qv
