#include "framework/utf16_text.h"

#include <cstdint>

namespace qv {

size_t Utf16Length(std::string_view utf8) {
    size_t units = 0;
    for (const char c : utf8) {
        const auto byte = uint8_t(c);
        if ((byte & 0xC0) != 0x80) {
            ++units; // a character starts here
        }
        if (byte >= 0xF0) {
            ++units; // beyond the basic plane: a surrogate pair
        }
    }
    return units;
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

} // namespace qv
