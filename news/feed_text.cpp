#include "framework/utf16_text.h"
#include "news/feed_text.h"

#include <cstdint>

#include "news/feed_encoding.h"
#include "news/legacy_code_page.h"

namespace qv {

namespace {

// Bytes 0x80 to 0x9F of code page 1252; the five it leaves unmapped keep their own value, as
// Windows does.
constexpr char16_t kWestern80To9F[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

void AppendWestern(std::u16string& out, std::string_view bytes) {
    for (const char ch : bytes) {
        const uint8_t b = uint8_t(ch);
        out.push_back(b >= 0x80 && b <= 0x9F ? kWestern80To9F[b - 0x80] : char16_t(b));
    }
}

// Only called on valid UTF-8.
void AppendFromUtf8(std::u16string& out, std::string_view bytes) {
    size_t i = 0;
    while (i < bytes.size()) {
        const uint8_t lead = uint8_t(bytes[i]);
        if (lead < 0x80) {
            out.push_back(char16_t(lead));
            ++i;
            continue;
        }
        const size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
        char32_t c = lead & (0x7F >> length);
        for (size_t k = 1; k < length && i + k < bytes.size(); ++k) {
            c = (c << 6) | (uint8_t(bytes[i + k]) & 0x3F);
        }
        AppendCodePoint(out, c);
        i += length;
    }
}

bool IsTrimmed(char16_t c) {
    return c == u' ' || (c >= u'\t' && c <= u'\r');
}

bool IsHighSurrogate(char16_t c) {
    return c >= 0xD800 && c <= 0xDBFF;
}

} // namespace

void AppendCodePoint(std::u16string& out, char32_t c) {
    if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
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

void AppendDecoded(std::u16string& out, std::string_view bytes, unsigned codePage) {
    if (IsAscii(bytes)) {
        out.append(bytes.begin(), bytes.end());
    } else if (codePage == kCodePageUtf8 && IsValidUtf8(bytes)) {
        AppendFromUtf8(out, bytes);
    } else if (codePage == kCodePageUtf8 || codePage == kCodePageWestern ||
               !AppendLegacyDecoded(out, bytes, codePage)) {
        AppendWestern(out, bytes);
    }
}

void AppendUtf8(std::string& out, char32_t c) {
    if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
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

// A lone surrogate becomes U+FFFD.
std::string Utf16ToUtf8(std::u16string_view text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        char32_t c = text[i];
        if (IsHighSurrogate(text[i]) && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00);
        }
        AppendUtf8(out, c);
    }
    return out;
}

std::u16string_view TrimText(std::u16string_view text) {
    while (!text.empty() && IsTrimmed(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && IsTrimmed(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

std::u16string_view CutToCharacters(std::u16string_view text, size_t maxCharacters) {
    size_t units = 0;
    for (size_t characters = 0; units < text.size() && characters < maxCharacters; ++characters) {
        const bool pair = IsHighSurrogate(text[units]) && units + 1 < text.size() &&
                          text[units + 1] >= 0xDC00 && text[units + 1] <= 0xDFFF;
        units += pair ? 2 : 1;
    }
    return text.substr(0, units);
}

} // namespace qv
