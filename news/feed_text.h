#pragma once

#include <string>
#include <string_view>

namespace qv {

// Appends one Unicode code point; a surrogate or a value beyond U+10FFFF becomes U+FFFD.
void AppendCodePoint(std::u16string& out, char32_t c);

// Appends bytes written in a code page as UTF-16. UTF-8 that is not valid UTF-8 is read as
// Western, the common mistake of undeclared Latin-1 feeds; a code page the system lacks is read
// as Western too.
void AppendDecoded(std::u16string& out, std::string_view bytes, unsigned codePage);

// Appends one code point as UTF-8; a surrogate or a value beyond U+10FFFF becomes U+FFFD.
void AppendUtf8(std::string& out, char32_t c);

std::string Utf16ToUtf8(std::u16string_view text);

// XML white space and the vertical tab and form feed at both ends go.
std::u16string_view TrimText(std::u16string_view text);

// At most maxCharacters code points: a surrogate pair is never cut in two.
std::u16string_view CutToCharacters(std::u16string_view text, size_t maxCharacters);

} // namespace qv
