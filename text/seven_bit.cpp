#include "text/seven_bit.h"

#include <cstdint>

namespace qv {

namespace {

constexpr char kEscape = 0x1B;
constexpr char kShiftOut = 0x0E;
constexpr char kShiftIn = 0x0F;

bool IsGraphic(char c) {
    return c >= 0x21 && c <= 0x7E;
}

enum class JisSet { Ascii, Kana, TwoByte, Unmapped };

void AppendShiftJis(std::string& out, uint8_t j1, uint8_t j2) {
    uint8_t s1 = uint8_t((j1 - 0x21) / 2 + 0x81);
    if (s1 > 0x9F) {
        s1 += 0x40;
    }
    const uint8_t s2 = (j1 & 1) ? uint8_t(j2 + (j2 >= 0x60 ? 0x20 : 0x1F)) : uint8_t(j2 + 0x7E);
    out.push_back(char(s1));
    out.push_back(char(s2));
}

// The escape at text[i] (ESC already seen); the set it selects and its length, or 0.
size_t JisEscape(std::string_view text, size_t i, JisSet& set) {
    const std::string_view rest = text.substr(i + 1);
    if (rest.starts_with("(B") || rest.starts_with("(J")) {
        set = JisSet::Ascii;
    } else if (rest.starts_with("(I")) {
        set = JisSet::Kana;
    } else if (rest.starts_with("$@") || rest.starts_with("$B")) {
        set = JisSet::TwoByte;
    } else if (rest.starts_with("$(D")) {
        set = JisSet::Unmapped; // JIS X 0212 has no Shift_JIS form
        return 4;
    } else {
        return 0;
    }
    return 3;
}

std::string FromIso2022Jp(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    JisSet set = JisSet::Ascii;
    JisSet beforeShift = JisSet::Ascii;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == kEscape) {
            if (const size_t length = JisEscape(text, i, set)) {
                i += length - 1;
                continue;
            }
        } else if (c == kShiftOut) {
            beforeShift = set;
            set = JisSet::Kana;
            continue;
        } else if (c == kShiftIn) {
            set = beforeShift;
            continue;
        }
        const bool pair = i + 1 < text.size() && IsGraphic(c) && IsGraphic(text[i + 1]);
        if (set == JisSet::Kana && c >= 0x21 && c <= 0x5F) {
            out.push_back(char(uint8_t(c) + 0x80));
        } else if (set == JisSet::TwoByte && pair) {
            AppendShiftJis(out, uint8_t(c), uint8_t(text[++i]));
        } else if (set == JisSet::Unmapped && pair) {
            out.push_back('?');
            ++i;
        } else {
            out.push_back(c);
        }
    }
    return out;
}

// ESC $ ) C names the set once; shift out and shift in switch to it and back.
std::string FromIso2022Kr(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    bool shifted = false;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == kEscape && text.substr(i + 1).starts_with("$)C")) {
            i += 3;
        } else if (c == kShiftOut || c == kShiftIn) {
            shifted = c == kShiftOut;
        } else if (c == '\n' || c == '\r') {
            shifted = false; // a shift lasts to the end of its line
            out.push_back(c);
        } else {
            out.push_back(shifted && IsGraphic(c) ? char(uint8_t(c) + 0x80) : c);
        }
    }
    return out;
}

// "~{" opens GB 2312, "~}" closes it, "~~" is a tilde and "~" before a line break joins lines.
std::string FromHz(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    bool gb = false;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        const char next = i + 1 < text.size() ? text[i + 1] : '\0';
        if (c == '~' && (next == '{' || next == '}')) {
            gb = next == '{';
            ++i;
        } else if (c == '~' && !gb && (next == '~' || next == '\n')) {
            if (next == '~') {
                out.push_back('~');
            }
            ++i;
        } else if (gb && IsGraphic(c) && IsGraphic(next)) {
            out.push_back(char(uint8_t(c) + 0x80));
            out.push_back(char(uint8_t(next) + 0x80));
            ++i;
        } else {
            out.push_back(c);
        }
    }
    return out;
}

} // namespace

std::optional<MultiByteText> FromSevenBit(std::string_view text, unsigned codePage) {
    switch (codePage) {
    case kCodePageIso2022Jp:
        return MultiByteText{FromIso2022Jp(text), 932};
    case kCodePageIso2022Kr:
        return MultiByteText{FromIso2022Kr(text), 949};
    case kCodePageHzGb2312:
        return MultiByteText{FromHz(text), 936};
    default:
        return std::nullopt;
    }
}

} // namespace qv
