#include "framework/percent_encoding.h"

namespace qv {

namespace {

bool IsUnreserved(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
           c == '.' || c == '_' || c == '~';
}

bool IsPrintableAscii(unsigned char c) {
    return c > 0x20 && c < 0x7F;
}

template <typename Keep> std::string EncodeAllBut(std::string_view utf8, Keep keep) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string encoded;
    encoded.reserve(utf8.size() * 3);
    for (const char ch : utf8) {
        const auto c = static_cast<unsigned char>(ch);
        if (keep(c)) {
            encoded += ch;
        } else {
            encoded += '%';
            encoded += kHex[c >> 4];
            encoded += kHex[c & 0x0F];
        }
    }
    return encoded;
}

} // namespace

std::string PercentEncode(std::string_view utf8) {
    return EncodeAllBut(utf8, IsUnreserved);
}

std::string PercentEncodeUnprintable(std::string_view utf8) {
    return EncodeAllBut(utf8, IsPrintableAscii);
}

} // namespace qv
