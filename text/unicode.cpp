#include "text/unicode.h"

#include <cstdint>

namespace qv {

namespace {

bool StartsCharacter(char c) {
    return (uint8_t(c) & 0xC0) != 0x80;
}

// A lead byte of four: beyond the basic plane, a surrogate pair in UTF-16.
size_t UnitsOf(char lead) {
    return uint8_t(lead) >= 0xF0 ? 2 : 1;
}

bool IsPairAt(std::u16string_view text, size_t at) {
    return IsHighSurrogate(text[at]) && at + 1 < text.size() && IsLowSurrogate(text[at + 1]);
}

} // namespace

void AppendCodePoint(std::u16string& out, char32_t c) {
    if (c > 0x10FFFF || IsSurrogate(c)) {
        c = 0xFFFD;
    }
    if (c < 0x10000) {
        out.push_back(char16_t(c));
        return;
    }
    c -= 0x10000;
    out.push_back(char16_t(0xD800 + (c >> 10)));
    out.push_back(char16_t(0xDC00 + (c & 0x3FF)));
}

void AppendUtf8(std::string& out, char32_t c) {
    if (c > 0x10FFFF || IsSurrogate(c)) {
        c = 0xFFFD;
    }
    if (c < 0x80) {
        out.push_back(char(c));
    } else if (c < 0x800) {
        out.push_back(char(0xC0 | (c >> 6)));
        out.push_back(char(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        out.push_back(char(0xE0 | (c >> 12)));
        out.push_back(char(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(char(0x80 | (c & 0x3F)));
    } else {
        out.push_back(char(0xF0 | (c >> 18)));
        out.push_back(char(0x80 | ((c >> 12) & 0x3F)));
        out.push_back(char(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(char(0x80 | (c & 0x3F)));
    }
}

std::string Utf16ToUtf8(std::u16string_view text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        char32_t c = text[i];
        if (IsPairAt(text, i)) {
            c = CombineSurrogates(c, text[++i]);
        }
        AppendUtf8(out, c);
    }
    return out;
}

void AppendValidUtf8(std::u16string& out, std::string_view utf8) {
    size_t i = 0;
    while (i < utf8.size()) {
        const uint8_t lead = uint8_t(utf8[i]);
        if (lead < 0x80) {
            out.push_back(char16_t(lead));
            ++i;
            continue;
        }
        const size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
        char32_t c = lead & (0x7F >> length);
        for (size_t k = 1; k < length && i + k < utf8.size(); ++k) {
            c = (c << 6) | (uint8_t(utf8[i + k]) & 0x3F);
        }
        AppendCodePoint(out, c);
        i += length;
    }
}

bool IsValidUtf8(std::string_view text) {
    size_t i = 0;
    while (i < text.size()) {
        const uint8_t lead = uint8_t(text[i]);
        if (lead < 0x80) {
            ++i;
            continue;
        }
        size_t length = 0;
        uint8_t low = 0x80, high = 0xBF;
        if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3;
            low = lead == 0xE0 ? 0xA0 : 0x80;
            high = lead == 0xED ? 0x9F : 0xBF;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4;
            low = lead == 0xF0 ? 0x90 : 0x80;
            high = lead == 0xF4 ? 0x8F : 0xBF;
        } else {
            return false;
        }
        if (i + length > text.size()) {
            return false;
        }
        const uint8_t second = uint8_t(text[i + 1]);
        if (second < low || second > high) {
            return false;
        }
        for (size_t k = 2; k < length; ++k) {
            if ((uint8_t(text[i + k]) & 0xC0) != 0x80) {
                return false;
            }
        }
        i += length;
    }
    return true;
}

size_t Utf16Length(std::string_view utf8) {
    size_t units = 0;
    for (const char c : utf8) {
        units += StartsCharacter(c) ? UnitsOf(c) : 0;
    }
    return units;
}

std::u16string_view WholeCharacterPrefix(std::u16string_view text, size_t units) {
    if (text.size() <= units) {
        return text;
    }
    if (units > 0 && IsPairAt(text, units - 1)) {
        ++units;
    }
    return text.substr(0, units);
}

std::string_view Utf8Prefix(std::string_view utf8, size_t units) {
    size_t taken = 0;
    for (size_t i = 0; i < utf8.size(); ++i) {
        if (StartsCharacter(utf8[i])) {
            if (taken >= units) {
                return utf8.substr(0, i);
            }
            taken += UnitsOf(utf8[i]);
        }
    }
    return utf8;
}

std::string_view Utf8Suffix(std::string_view utf8, size_t units) {
    if (units == 0) {
        return {};
    }
    size_t taken = 0;
    for (size_t i = utf8.size(); i-- > 0;) {
        if (StartsCharacter(utf8[i])) {
            taken += UnitsOf(utf8[i]);
            if (taken >= units) {
                return utf8.substr(i);
            }
        }
    }
    return utf8;
}

std::u16string_view CutToCharacters(std::u16string_view text, size_t maxCharacters) {
    size_t units = 0;
    for (size_t characters = 0; units < text.size() && characters < maxCharacters; ++characters) {
        units += IsPairAt(text, units) ? 2 : 1;
    }
    return text.substr(0, units);
}

} // namespace qv
