#include "framework/web_uri.h"

#include <cstdint>
#include <algorithm>

#include "framework/percent_encoding.h"
#include "text/ascii.h"
#include "text/unicode.h"

namespace qv {

namespace {

constexpr size_t kLongestLabel = 63;

// The code points of text already known to be valid UTF-8.
std::u32string CodePoints(std::string_view utf8) {
    std::u32string points;
    for (size_t i = 0; i < utf8.size();) {
        const auto lead = uint8_t(utf8[i]);
        const size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        char32_t c = length == 1 ? lead : lead & (0x7F >> length);
        for (size_t k = 1; k < length; ++k) {
            c = (c << 6) | (uint8_t(utf8[i + k]) & 0x3F);
        }
        points += c;
        i += length;
    }
    return points;
}

// Host names compare without case, but only ASCII's case is folded by DNS: the letters of the
// scripts a host is commonly named in are folded here, as IDNA maps them.
char32_t LowerCase(char32_t c) {
    if ((c >= U'A' && c <= U'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7) ||
        (c >= 0x391 && c <= 0x3AB && c != 0x3A2) || (c >= 0x410 && c <= 0x42F)) {
        return c + 0x20;
    }
    if (c >= 0x400 && c <= 0x40F) {
        return c + 0x50;
    }
    return c;
}

char Digit(uint32_t d) {
    return char(d < 26 ? 'a' + d : '0' + (d - 26));
}

uint32_t Adapt(uint32_t delta, uint32_t points, bool first) {
    delta = first ? delta / 700 : delta / 2;
    delta += delta / points;
    uint32_t k = 0;
    for (; delta > ((36 - 1) * 26) / 2; k += 36) {
        delta /= 36 - 1;
    }
    return k + (36 * delta) / (delta + 38);
}

// Punycode (RFC 3492). Quadratic in the label, which is at most 63 characters long.
std::string Encode(const std::u32string& input) {
    std::string out;
    for (const char32_t c : input) {
        if (c < 0x80) {
            out += char(c);
        }
    }
    const size_t basic = out.size();
    if (basic > 0) {
        out += '-';
    }
    uint32_t n = 0x80, delta = 0, bias = 72;
    for (size_t handled = basic; handled < input.size(); ++delta, ++n) {
        char32_t next = 0x10FFFF + 1;
        for (const char32_t c : input) {
            if (c >= n && c < next) {
                next = c;
            }
        }
        delta += (next - n) * uint32_t(handled + 1); // labels are short: no overflow
        n = next;
        for (const char32_t c : input) {
            if (c < n) {
                ++delta;
            } else if (c == n) {
                uint32_t q = delta;
                for (uint32_t k = 36;; k += 36) {
                    const uint32_t t = k <= bias ? 1 : k >= bias + 26 ? 26 : k - bias;
                    if (q < t) {
                        break;
                    }
                    out += Digit(t + (q - t) % (36 - t));
                    q = (q - t) / (36 - t);
                }
                out += Digit(q);
                bias = Adapt(delta, uint32_t(handled + 1), handled == basic);
                delta = 0;
                ++handled;
            }
        }
    }
    return out;
}

// One label of the host in its IDNA form; nothing when it cannot have one.
std::optional<std::string> AsciiLabel(std::string_view label) {
    std::u32string points = CodePoints(label);
    if (points.size() > kLongestLabel) {
        return std::nullopt;
    }
    for (char32_t& c : points) {
        if (c <= 0x20 || c == 0x7F) {
            return std::nullopt;
        }
        c = LowerCase(c);
    }
    if (IsAscii(label)) {
        return std::string(label);
    }
    std::string ace = "xn--" + Encode(points);
    if (ace.size() > kLongestLabel) {
        return std::nullopt;
    }
    return ace;
}

// The host of an authority, with its labels made ASCII; the user and port stay as they are.
std::optional<std::string> AsciiAuthority(std::string_view authority) {
    const size_t at = authority.rfind('@');
    const size_t hostStart = at == std::string_view::npos ? 0 : at + 1;
    const size_t colon = authority.find(':', hostStart);
    const std::string_view host = authority.substr(hostStart, colon - hostStart);
    if (IsAscii(host)) {
        return PercentEncodeUnprintable(authority);
    }
    std::string ascii;
    for (size_t start = 0;;) {
        const size_t dot = host.find('.', start);
        const std::string_view label = host.substr(start, dot - start);
        const std::optional<std::string> made = AsciiLabel(label);
        if (!made || made->empty()) {
            return std::nullopt;
        }
        ascii += *made;
        if (dot == std::string_view::npos) {
            break;
        }
        ascii += '.';
        start = dot + 1;
        if (start == host.size()) {
            break; // the root's dot ends a host
        }
    }
    return PercentEncodeUnprintable(authority.substr(0, hostStart)) + ascii +
           PercentEncodeUnprintable(authority.substr(std::min(colon, authority.size())));
}

bool IsFileScheme(std::string_view iri) {
    if (iri.size() < 5) {
        return false;
    }
    for (size_t i = 0; i < 4; ++i) {
        if ((iri[i] | 0x20) != "file"[i]) {
            return false;
        }
    }
    return iri[4] == ':';
}

} // namespace

std::optional<std::string> UriFromIri(std::string_view iri) {
    if (!IsValidUtf8(iri)) {
        return std::nullopt;
    }
    if (IsFileScheme(iri)) {
        return std::string(iri);
    }
    const size_t slashes = iri.find("://");
    if (slashes == std::string_view::npos) {
        return PercentEncodeUnprintable(iri);
    }
    const size_t authorityStart = slashes + 3;
    const size_t authorityEnd = std::min(iri.find_first_of("/?#", authorityStart), iri.size());
    const std::optional<std::string> authority =
        AsciiAuthority(iri.substr(authorityStart, authorityEnd - authorityStart));
    if (!authority) {
        return std::nullopt;
    }
    return PercentEncodeUnprintable(iri.substr(0, authorityStart)) + *authority +
           PercentEncodeUnprintable(iri.substr(authorityEnd));
}

} // namespace qv
