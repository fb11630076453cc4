#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace qv {

constexpr bool IsHighSurrogate(char32_t c) {
    return c >= 0xD800 && c <= 0xDBFF;
}
constexpr bool IsLowSurrogate(char32_t c) {
    return c >= 0xDC00 && c <= 0xDFFF;
}
constexpr bool IsSurrogate(char32_t c) {
    return c >= 0xD800 && c <= 0xDFFF;
}
constexpr char32_t CombineSurrogates(char32_t high, char32_t low) {
    return 0x10000 + ((high - 0xD800) << 10) + (low - 0xDC00);
}

// Appends one code point, as UTF-16 or as UTF-8; a surrogate or a value beyond U+10FFFF becomes
// U+FFFD.
void AppendCodePoint(std::u16string& out, char32_t c);
void AppendUtf8(std::string& out, char32_t c);

// A lone surrogate becomes U+FFFD.
std::string Utf16ToUtf8(std::u16string_view text);

// Appends UTF-8 that IsValidUtf8 accepts as UTF-16.
void AppendValidUtf8(std::u16string& out, std::string_view utf8);

// Strict: no overlong forms, no surrogates, nothing above U+10FFFF.
bool IsValidUtf8(std::string_view text);

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

// At most maxCharacters code points: a surrogate pair is never cut in two.
std::u16string_view CutToCharacters(std::u16string_view text, size_t maxCharacters);

} // namespace qv
