#pragma once
// Inputs made to cost a careless reader time out of all proportion to their size, shared by the
// tests and the scanner's benchmark.
#include <cstdint>
#include <string>
#include <string_view>

namespace qv::testing {

inline std::string Repeated(std::string_view piece, size_t bytes) {
    std::string text;
    text.reserve(bytes + piece.size());
    while (text.size() < bytes) {
        text += piece;
    }
    return text;
}

// Raw deflate: empty fixed-code blocks (ten bits each: not last, fixed codes, end of block; four
// of them fill five bytes) in about the given bytes, then a last stored block holding text.
inline std::string EmptyFixedBlocks(size_t bytes, std::string_view text) {
    using namespace std::string_literals;
    const auto length = uint16_t(text.size());
    return Repeated("\x02\x08\x20\x80\x00"s, bytes) + "\x01"s + char(length & 0xFF) +
           char(length >> 8) + char(~length & 0xFF) + char(~length >> 8) + std::string(text);
}

} // namespace qv::testing
