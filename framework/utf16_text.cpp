#include "framework/utf16_text.h"

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

} // namespace

size_t Utf16Length(std::string_view utf8) {
    size_t units = 0;
    for (const char c : utf8) {
        units += StartsCharacter(c) ? UnitsOf(c) : 0;
    }
    return units;
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

std::u16string_view WholeCharacterPrefix(std::u16string_view text, size_t units) {
    if (text.size() <= units) {
        return text;
    }
    const auto isHigh = [](char16_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; };
    const auto isLow = [](char16_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; };
    if (units > 0 && isHigh(text[units - 1]) && isLow(text[units])) {
        ++units;
    }
    return text.substr(0, units);
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

} // namespace qv
