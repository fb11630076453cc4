#pragma once

#include <cstddef>
#include <string_view>

namespace qv {

// How many UTF-16 units the UTF-8 text takes: what a length limit of the wide registry and of
// the wide windows counts.
size_t Utf16Length(std::string_view utf8);

// The first `units` UTF-16 units, or one more where the last of them would be the first half of
// a surrogate pair: a character is never cut in half.
std::u16string_view WholeCharacterPrefix(std::u16string_view text, size_t units);

// The same cuts for UTF-8 text, counted in UTF-16 units: the first `units` of them (a pair at
// the end kept whole), and the last `units` of them (a pair at the start kept whole).
std::string_view Utf8Prefix(std::string_view utf8, size_t units);
std::string_view Utf8Suffix(std::string_view utf8, size_t units);

// Strict: no overlong forms, no surrogates, nothing above U+10FFFF.
bool IsValidUtf8(std::string_view text);

} // namespace qv
