#include "news/content_coding.h"

#include <array>
#include <cstdint>

namespace qv {

namespace {

// Reads the bits of a deflate stream, least significant first.
class BitReader {
public:
    explicit BitReader(std::string_view bytes) : bytes_(bytes) {}

    bool Bits(int count, uint32_t& value) {
        while (bitCount_ < count) {
            if (position_ >= bytes_.size()) {
                return false;
            }
            bitBuffer_ |= uint32_t(uint8_t(bytes_[position_++])) << bitCount_;
            bitCount_ += 8;
        }
        value = bitBuffer_ & ((1u << count) - 1);
        bitBuffer_ >>= count;
        bitCount_ -= count;
        return true;
    }
    // Stored blocks start at a byte.
    void AlignToByte() {
        bitBuffer_ = 0;
        bitCount_ = 0;
    }
    bool Bytes(size_t count, std::string_view& bytes) {
        if (bytes_.size() - position_ < count) {
            return false;
        }
        bytes = bytes_.substr(position_, count);
        position_ += count;
        return true;
    }
    size_t Position() const { return position_; }

private:
    std::string_view bytes_;
    size_t position_ = 0;
    uint32_t bitBuffer_ = 0;
    int bitCount_ = 0;
};

constexpr int kMaxCodeBits = 15;

// A canonical Huffman code: how many codes of each length, and the symbols in code order.
struct Huffman {
    std::array<uint16_t, kMaxCodeBits + 1> counts{};
    std::array<uint16_t, 320> symbols{};
};

// False when the lengths promise more codes than their bits hold.
bool BuildHuffman(Huffman& code, const uint8_t* lengths, int symbolCount) {
    code.counts.fill(0);
    for (int s = 0; s < symbolCount; ++s) {
        ++code.counts[lengths[s]];
    }
    int left = 1;
    for (int bits = 1; bits <= kMaxCodeBits; ++bits) {
        left = left * 2 - code.counts[size_t(bits)];
        if (left < 0) {
            return false;
        }
    }
    std::array<uint16_t, kMaxCodeBits + 2> offsets{};
    for (int bits = 1; bits <= kMaxCodeBits; ++bits) {
        offsets[size_t(bits) + 1] = uint16_t(offsets[size_t(bits)] + code.counts[size_t(bits)]);
    }
    for (int s = 0; s < symbolCount; ++s) {
        if (lengths[s]) {
            code.symbols[offsets[lengths[s]]++] = uint16_t(s);
        }
    }
    return true;
}

// One symbol, read a bit at a time: feeds are small, and this needs no tables beyond the code.
int DecodeSymbol(BitReader& in, const Huffman& code) {
    int first = 0, index = 0, value = 0;
    for (int bits = 1; bits <= kMaxCodeBits; ++bits) {
        uint32_t bit = 0;
        if (!in.Bits(1, bit)) {
            return -1;
        }
        value |= int(bit);
        const int count = code.counts[size_t(bits)];
        if (value - first < count) {
            return code.symbols[size_t(index + value - first)];
        }
        index += count;
        first = (first + count) << 1;
        value <<= 1;
    }
    return -1;
}

constexpr uint16_t kLengthBase[29] = {3,  4,  5,  6,   7,   8,   9,   10,  11, 13,
                                      15, 17, 19, 23,  27,  31,  35,  43,  51, 59,
                                      67, 83, 99, 115, 131, 163, 195, 227, 258};
constexpr uint8_t kLengthExtra[29] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                      2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
constexpr uint16_t kDistanceBase[30] = {
    1,   2,   3,   4,   5,   7,    9,    13,   17,   25,   33,   49,   65,    97,    129,
    193, 257, 385, 513, 769, 1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};
constexpr uint8_t kDistanceExtra[30] = {0, 0, 0, 0, 1, 1, 2, 2,  3,  3,  4,  4,  5,  5,  6,
                                        6, 7, 7, 8, 8, 9, 9, 10, 10, 11, 11, 12, 12, 13, 13};

// Each block, and each gzip member, costs a header and maybe code tables whatever it holds: a
// stream of empty or tiny ones is no feed, and could cost far more time than its bytes. Beyond a
// few, each must come with its share of output.
constexpr size_t kFreeParts = 1024;
constexpr size_t kOutputBytesPerPart = 16;

bool WithinPartBound(size_t parts, size_t outputBytes) {
    return parts <= kFreeParts + outputBytes / kOutputBytesPerPart;
}

struct FixedCodes {
    Huffman literals, distances;
};

const FixedCodes& TheFixedCodes() {
    static const FixedCodes codes = [] {
        uint8_t lengths[288 + 30];
        for (int s = 0; s < 288; ++s) {
            lengths[s] = s < 144 ? 8 : s < 256 ? 9 : s < 280 ? 7 : 8;
        }
        for (int s = 0; s < 30; ++s) {
            lengths[288 + s] = 5;
        }
        FixedCodes fixed;
        BuildHuffman(fixed.literals, lengths, 288);
        BuildHuffman(fixed.distances, lengths + 288, 30);
        return fixed;
    }();
    return codes;
}

class Inflater {
public:
    Inflater(std::string_view bytes, size_t maxBytes) : in_(bytes), maxBytes_(maxBytes) {}

    bool Run() {
        uint32_t last = 0;
        do {
            uint32_t type = 0;
            if (!WithinPartBound(++blocks_, out_.size()) || !in_.Bits(1, last) ||
                !in_.Bits(2, type)) {
                return false;
            }
            const bool ok = type == 0   ? Stored()
                            : type == 1 ? Fixed()
                            : type == 2 ? Dynamic()
                                        : false;
            if (!ok) {
                return false;
            }
        } while (!last);
        return true;
    }
    std::string& Output() { return out_; }
    size_t End() const { return in_.Position(); }

private:
    bool Stored() {
        in_.AlignToByte();
        std::string_view header, bytes;
        if (!in_.Bytes(4, header)) {
            return false;
        }
        const unsigned length = uint8_t(header[0]) | (uint8_t(header[1]) << 8);
        const unsigned check = uint8_t(header[2]) | (uint8_t(header[3]) << 8);
        if ((length ^ 0xFFFF) != check || !in_.Bytes(length, bytes) ||
            out_.size() + length > maxBytes_) {
            return false;
        }
        out_.append(bytes);
        return true;
    }

    bool Fixed() {
        const FixedCodes& fixed = TheFixedCodes();
        return Codes(fixed.literals, fixed.distances);
    }

    bool Dynamic() {
        static constexpr uint8_t kOrder[19] = {16, 17, 18, 0, 8,  7, 9,  6, 10, 5,
                                               11, 4,  12, 3, 13, 2, 14, 1, 15};
        uint32_t literalCount = 0, distanceCount = 0, lengthCount = 0;
        if (!in_.Bits(5, literalCount) || !in_.Bits(5, distanceCount) ||
            !in_.Bits(4, lengthCount)) {
            return false;
        }
        literalCount += 257;
        distanceCount += 1;
        lengthCount += 4;
        if (literalCount > 286 || distanceCount > 30) {
            return false;
        }
        uint8_t lengths[320] = {};
        for (uint32_t i = 0; i < lengthCount; ++i) {
            uint32_t bits = 0;
            if (!in_.Bits(3, bits)) {
                return false;
            }
            lengths[kOrder[i]] = uint8_t(bits);
        }
        Huffman lengthCode;
        if (!BuildHuffman(lengthCode, lengths, 19) ||
            !ReadCodeLengths(lengthCode, lengths, literalCount + distanceCount) ||
            lengths[256] == 0) {
            return false;
        }
        Huffman literals, distances;
        return BuildHuffman(literals, lengths, int(literalCount)) &&
               BuildHuffman(distances, lengths + literalCount, int(distanceCount)) &&
               Codes(literals, distances);
    }

    // The code lengths of the literal and distance codes, run-length coded.
    bool ReadCodeLengths(const Huffman& lengthCode, uint8_t* lengths, uint32_t count) {
        uint32_t i = 0;
        while (i < count) {
            const int symbol = DecodeSymbol(in_, lengthCode);
            if (symbol < 0) {
                return false;
            }
            if (symbol < 16) {
                lengths[i++] = uint8_t(symbol);
                continue;
            }
            uint32_t repeat = 0;
            uint8_t value = 0;
            if (symbol == 16) {
                if (i == 0 || !in_.Bits(2, repeat)) {
                    return false;
                }
                value = lengths[i - 1];
                repeat += 3;
            } else if (!in_.Bits(symbol == 17 ? 3 : 7, repeat)) {
                return false;
            } else {
                repeat += symbol == 17 ? 3 : 11;
            }
            if (i + repeat > count) {
                return false;
            }
            while (repeat--) {
                lengths[i++] = value;
            }
        }
        return true;
    }

    bool Codes(const Huffman& literals, const Huffman& distances) {
        for (;;) {
            const int symbol = DecodeSymbol(in_, literals);
            if (symbol < 0 || symbol > 285) {
                return false;
            }
            if (symbol == 256) {
                return true;
            }
            if (out_.size() >= maxBytes_) {
                return false;
            }
            if (symbol < 256) {
                out_.push_back(char(symbol));
                continue;
            }
            if (!CopyMatch(symbol - 257, distances)) {
                return false;
            }
        }
    }

    bool CopyMatch(int lengthSymbol, const Huffman& distances) {
        uint32_t extra = 0;
        if (!in_.Bits(kLengthExtra[lengthSymbol], extra)) {
            return false;
        }
        const size_t length = kLengthBase[lengthSymbol] + extra;
        const int distanceSymbol = DecodeSymbol(in_, distances);
        if (distanceSymbol < 0 || distanceSymbol > 29 ||
            !in_.Bits(kDistanceExtra[distanceSymbol], extra)) {
            return false;
        }
        const size_t distance = kDistanceBase[distanceSymbol] + extra;
        if (distance > out_.size() || out_.size() + length > maxBytes_) {
            return false;
        }
        for (size_t k = 0; k < length; ++k) { // a match may overlap what it copies
            out_.push_back(out_[out_.size() - distance]);
        }
        return true;
    }

    BitReader in_;
    size_t maxBytes_;
    std::string out_;
    size_t blocks_ = 0;
};

uint32_t Crc32(std::string_view bytes) {
    static const std::array<uint32_t, 256> table = [] {
        std::array<uint32_t, 256> t{};
        for (uint32_t n = 0; n < 256; ++n) {
            uint32_t c = n;
            for (int k = 0; k < 8; ++k) {
                c = c & 1 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            }
            t[n] = c;
        }
        return t;
    }();
    uint32_t crc = 0xFFFFFFFFu;
    for (const char b : bytes) {
        crc = table[(crc ^ uint8_t(b)) & 0xFF] ^ (crc >> 8);
    }
    return crc ^ 0xFFFFFFFFu;
}

uint32_t Adler32(std::string_view bytes) {
    uint32_t a = 1, b = 0;
    for (const char c : bytes) {
        a = (a + uint8_t(c)) % 65521;
        b = (b + a) % 65521;
    }
    return (b << 16) | a;
}

uint32_t LittleEndian32(std::string_view bytes, size_t at) {
    return uint32_t(uint8_t(bytes[at])) | uint32_t(uint8_t(bytes[at + 1])) << 8 |
           uint32_t(uint8_t(bytes[at + 2])) << 16 | uint32_t(uint8_t(bytes[at + 3])) << 24;
}

// Past the header of a gzip member (RFC 1952); 0 when it is none.
size_t GzipHeaderLength(std::string_view bytes) {
    enum : uint8_t { kExtra = 4, kName = 8, kComment = 16, kHeaderCrc = 2 };
    if (bytes.size() < 10 || uint8_t(bytes[0]) != 0x1F || uint8_t(bytes[1]) != 0x8B ||
        bytes[2] != 8) {
        return 0;
    }
    const uint8_t flags = uint8_t(bytes[3]);
    size_t at = 10;
    if (flags & kExtra) {
        if (bytes.size() < at + 2) {
            return 0;
        }
        at += 2 + (uint8_t(bytes[at]) | (uint8_t(bytes[at + 1]) << 8));
    }
    for (const uint8_t text : {kName, kComment}) {
        if (flags & text) {
            const size_t zero = bytes.find('\0', at);
            if (zero == std::string_view::npos) {
                return 0;
            }
            at = zero + 1;
        }
    }
    at += flags & kHeaderCrc ? 2 : 0;
    return at <= bytes.size() ? at : 0;
}

// Every member of a gzip file, each checked against its CRC and length.
std::optional<std::string> InflateGzip(std::string_view bytes, size_t maxBytes) {
    std::string out;
    size_t members = 0;
    do {
        const size_t header = GzipHeaderLength(bytes);
        if (!header || !WithinPartBound(++members, out.size())) {
            return std::nullopt;
        }
        Inflater inflater(bytes.substr(header), maxBytes - out.size());
        const size_t trailer = header + (inflater.Run() ? inflater.End() : bytes.size());
        if (bytes.size() < trailer + 8 ||
            LittleEndian32(bytes, trailer) != Crc32(inflater.Output()) ||
            LittleEndian32(bytes, trailer + 4) != uint32_t(inflater.Output().size())) {
            return std::nullopt;
        }
        out += inflater.Output();
        bytes.remove_prefix(trailer + 8);
    } while (!bytes.empty());
    return out;
}

// "deflate" is meant as zlib data (RFC 1950), but some servers send bare deflate data.
std::optional<std::string> InflateZlib(std::string_view bytes, size_t maxBytes) {
    const bool wrapped = bytes.size() >= 2 && (uint8_t(bytes[0]) & 0x0F) == 8 &&
                         (uint8_t(bytes[0]) * 256 + uint8_t(bytes[1])) % 31 == 0 &&
                         !(uint8_t(bytes[1]) & 0x20);
    Inflater inflater(bytes.substr(wrapped ? 2 : 0), maxBytes);
    if (!inflater.Run()) {
        return std::nullopt;
    }
    if (wrapped) {
        const size_t end = 2 + inflater.End();
        if (bytes.size() < end + 4) {
            return std::nullopt;
        }
        const uint32_t adler = uint32_t(uint8_t(bytes[end])) << 24 |
                               uint32_t(uint8_t(bytes[end + 1])) << 16 |
                               uint32_t(uint8_t(bytes[end + 2])) << 8 | uint8_t(bytes[end + 3]);
        if (adler != Adler32(inflater.Output())) {
            return std::nullopt;
        }
    }
    return std::move(inflater.Output());
}

bool SameCoding(std::string_view coding, std::string_view name) {
    if (coding.size() != name.size()) {
        return false;
    }
    for (size_t i = 0; i < coding.size(); ++i) {
        const char c =
            coding[i] >= 'A' && coding[i] <= 'Z' ? char(coding[i] - 'A' + 'a') : coding[i];
        if (c != name[i]) {
            return false;
        }
    }
    return true;
}

enum class Coding { Identity, Gzip, Deflate, Unknown };

Coding CodingNamed(std::string_view contentEncoding) {
    while (!contentEncoding.empty() && contentEncoding.back() == ' ') {
        contentEncoding.remove_suffix(1);
    }
    if (contentEncoding.empty() || SameCoding(contentEncoding, "identity")) {
        return Coding::Identity;
    }
    if (SameCoding(contentEncoding, "gzip") || SameCoding(contentEncoding, "x-gzip")) {
        return Coding::Gzip;
    }
    return SameCoding(contentEncoding, "deflate") ? Coding::Deflate : Coding::Unknown;
}

} // namespace

bool IsKnownContentCoding(std::string_view contentEncoding) {
    return CodingNamed(contentEncoding) != Coding::Unknown;
}

std::optional<std::string> DecodeContent(std::string_view body, std::string_view contentEncoding,
                                         size_t maxBytes) {
    switch (CodingNamed(contentEncoding)) {
    case Coding::Identity:
        return std::string(body);
    case Coding::Gzip:
        return InflateGzip(body, maxBytes);
    case Coding::Deflate:
        return InflateZlib(body, maxBytes);
    default:
        return std::nullopt;
    }
}

} // namespace qv
