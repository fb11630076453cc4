#include "news/content_coding.h"

#include <zlib.h>

#include <algorithm>
#include <cstdint>
#include <limits>

#include "text/ascii.h"

namespace qv {

namespace {

// Each block, and each gzip member, costs a header and maybe code tables whatever it holds: a
// stream of empty or tiny ones is no feed, and could cost far more time than its bytes. Beyond a
// few, each must come with its share of output.
constexpr size_t kFreeParts = 1024;
constexpr size_t kOutputBytesPerPart = 16;

bool WithinPartBound(size_t parts, size_t outputBytes) {
    return parts <= kFreeParts + outputBytes / kOutputBytesPerPart;
}

// The window bits inflateInit2 takes for each wrapping of deflate data.
constexpr int kGzipWindow = 16 + MAX_WBITS;
constexpr int kZlibWindow = MAX_WBITS;
constexpr int kRawWindow = -MAX_WBITS;

constexpr size_t kFirstOutputRoom = 64 * 1024;

// One zlib inflate stream, read a stream (or gzip member) at a time from the front of the input.
class Inflation {
public:
    explicit Inflation(int windowBits) : raw_(windowBits < 0) {
        ready_ = inflateInit2(&stream_, windowBits) == Z_OK;
    }
    ~Inflation() {
        if (ready_) {
            inflateEnd(&stream_);
        }
    }
    Inflation(const Inflation&) = delete;
    Inflation& operator=(const Inflation&) = delete;

    // Appends the next whole, intact stream of `in` to `out` and drops it from `in`. False when
    // the stream is cut short or corrupt, holds too many empty blocks, or `out` would outgrow
    // maxBytes.
    bool Next(std::string_view& in, std::string& out, size_t maxBytes) {
        if (!ready_ || in.size() > std::numeric_limits<uInt>::max() ||
            inflateReset(&stream_) != Z_OK) {
            return false;
        }
        stream_.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(in.data()));
        stream_.avail_in = uInt(in.size());
        const size_t start = out.size();
        size_t written = start;
        const bool whole = Run(out, written, start, maxBytes);
        out.resize(written);
        in.remove_prefix(in.size() - stream_.avail_in);
        return whole;
    }

private:
    // Z_BLOCK stops at every block boundary (and after a zlib or gzip header), where the blocks
    // are counted; a bare stream starts in its first block. A stream that outgrows maxBytes stalls
    // with no room left.
    bool Run(std::string& out, size_t& written, size_t start, size_t maxBytes) {
        size_t blocks = raw_ ? 1 : 0;
        for (;;) {
            if (written == out.size()) {
                const size_t room = std::max(kFirstOutputRoom, out.size() - start);
                out.resize(std::min(maxBytes, written + room));
            }
            const uInt room = uInt(std::min<size_t>(out.size() - written, 1u << 30));
            stream_.next_out = reinterpret_cast<Bytef*>(out.data() + written);
            stream_.avail_out = room;
            const uInt inBefore = stream_.avail_in;
            const int result = inflate(&stream_, Z_BLOCK);
            written += room - stream_.avail_out;
            if (result == Z_STREAM_END) {
                return true;
            }
            const bool beforeBlock = (stream_.data_type & 128) && !(stream_.data_type & 64);
            if (beforeBlock && !WithinPartBound(++blocks, written - start)) {
                return false;
            }
            // A corrupt stream stays where it went wrong; and as every block takes more bits than
            // a stop leaves held, a stop without progress is a stream cut short or grown too large.
            if (stream_.avail_in == inBefore && stream_.avail_out == room) {
                return false;
            }
        }
    }

    z_stream stream_{};
    bool raw_;
    bool ready_ = false;
};

// Every member of a gzip file, each checked against its CRC and length.
std::optional<std::string> InflateGzip(std::string_view bytes, size_t maxBytes) {
    Inflation inflation(kGzipWindow);
    std::string out;
    size_t members = 0;
    do {
        if (!WithinPartBound(++members, out.size()) || !inflation.Next(bytes, out, maxBytes)) {
            return std::nullopt;
        }
    } while (!bytes.empty());
    return out;
}

// "deflate" is meant as zlib data (RFC 1950), but some servers send bare deflate data.
std::optional<std::string> InflateZlib(std::string_view bytes, size_t maxBytes) {
    const bool wrapped = bytes.size() >= 2 && (uint8_t(bytes[0]) & 0x0F) == 8 &&
                         (uint8_t(bytes[0]) * 256 + uint8_t(bytes[1])) % 31 == 0 &&
                         !(uint8_t(bytes[1]) & 0x20);
    Inflation inflation(wrapped ? kZlibWindow : kRawWindow);
    std::string out;
    if (!inflation.Next(bytes, out, maxBytes)) {
        return std::nullopt;
    }
    return out;
}

enum class Coding { Identity, Gzip, Deflate, Unknown };

Coding CodingNamed(std::string_view contentEncoding) {
    while (!contentEncoding.empty() && contentEncoding.back() == ' ') {
        contentEncoding.remove_suffix(1);
    }
    if (contentEncoding.empty() || EqualsIgnoringAsciiCase(contentEncoding, "identity")) {
        return Coding::Identity;
    }
    if (EqualsIgnoringAsciiCase(contentEncoding, "gzip") ||
        EqualsIgnoringAsciiCase(contentEncoding, "x-gzip")) {
        return Coding::Gzip;
    }
    return EqualsIgnoringAsciiCase(contentEncoding, "deflate") ? Coding::Deflate : Coding::Unknown;
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
