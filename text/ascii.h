#pragma once

#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>

namespace qv {

// Case folding of the ASCII letters alone: names in markup, encodings, schemes and HTTP
// headers compare this way, whatever the user's locale.
template <typename Char> constexpr Char AsciiLower(Char c) {
    return c >= Char('A') && c <= Char('Z') ? Char(c - Char('A') + Char('a')) : c;
}

template <typename Char> constexpr bool IsAsciiLetter(Char c) {
    return (c >= Char('a') && c <= Char('z')) || (c >= Char('A') && c <= Char('Z'));
}

// XML's white space, with the vertical tab and form feed that feeds also use as such.
template <typename Char> constexpr bool IsAsciiSpace(Char c) {
    return c == Char(' ') || (c >= Char('\t') && c <= Char('\r'));
}

inline std::string AsciiLowered(std::string_view text) {
    std::string lowered(text);
    std::transform(lowered.begin(), lowered.end(), lowered.begin(), AsciiLower<char>);
    return lowered;
}

// `lower` is written in lower case.
inline bool EqualsIgnoringAsciiCase(std::string_view text, std::string_view lower) {
    return text.size() == lower.size() &&
           std::equal(text.begin(), text.end(), lower.begin(),
                      [](char c, char l) { return AsciiLower(c) == l; });
}

inline bool StartsWithIgnoringAsciiCase(std::string_view text, std::string_view lower) {
    return text.size() >= lower.size() &&
           EqualsIgnoringAsciiCase(text.substr(0, lower.size()), lower);
}

inline bool IsAscii(std::string_view text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return uint8_t(c) < 0x80; });
}

} // namespace qv
