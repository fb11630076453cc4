#include "news/feed_encoding.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "text/ascii.h"
#include "text/seven_bit.h"
#include "text/unicode.h"

namespace qv {

namespace {

enum class WideForm { None, Utf16LE, Utf16BE, Utf32LE, Utf32BE };

bool StartsWith(std::string_view bytes, std::initializer_list<uint8_t> prefix) {
    return bytes.size() >= prefix.size() &&
           std::equal(prefix.begin(), prefix.end(), bytes.begin(),
                      [](uint8_t expected, char actual) { return uint8_t(actual) == expected; });
}

// The mark, or a '<' written wide where the mark is missing.
WideForm DetectWideForm(std::string_view bytes, size_t& markLength) {
    markLength = 0;
    if (StartsWith(bytes, {0xFF, 0xFE, 0x00, 0x00})) {
        markLength = 4;
        return WideForm::Utf32LE;
    }
    if (StartsWith(bytes, {0x00, 0x00, 0xFE, 0xFF})) {
        markLength = 4;
        return WideForm::Utf32BE;
    }
    if (StartsWith(bytes, {0xFF, 0xFE})) {
        markLength = 2;
        return WideForm::Utf16LE;
    }
    if (StartsWith(bytes, {0xFE, 0xFF})) {
        markLength = 2;
        return WideForm::Utf16BE;
    }
    if (StartsWith(bytes, {'<', 0x00, 0x00, 0x00})) {
        return WideForm::Utf32LE;
    }
    if (StartsWith(bytes, {0x00, 0x00, 0x00, '<'})) {
        return WideForm::Utf32BE;
    }
    if (StartsWith(bytes, {'<', 0x00})) {
        return WideForm::Utf16LE;
    }
    if (StartsWith(bytes, {0x00, '<'})) {
        return WideForm::Utf16BE;
    }
    return WideForm::None;
}

uint32_t Unit(std::string_view bytes, size_t at, size_t width, bool bigEndian) {
    uint32_t value = 0;
    for (size_t k = 0; k < width; ++k) {
        const uint32_t b = uint8_t(bytes[at + k]);
        value |= bigEndian ? b << (8 * (width - 1 - k)) : b << (8 * k);
    }
    return value;
}

// Wide text to UTF-8; a lone surrogate or an odd trailing byte becomes U+FFFD.
std::string WideToUtf8(std::string_view bytes, WideForm form) {
    const bool bigEndian = form == WideForm::Utf16BE || form == WideForm::Utf32BE;
    const size_t width = form == WideForm::Utf32LE || form == WideForm::Utf32BE ? 4 : 2;
    std::string out;
    out.reserve(bytes.size() / width + 16);
    size_t i = 0;
    while (i + width <= bytes.size()) {
        uint32_t c = Unit(bytes, i, width, bigEndian);
        i += width;
        if (width == 2 && IsHighSurrogate(c) && i + 2 <= bytes.size()) {
            const uint32_t low = Unit(bytes, i, 2, bigEndian);
            if (IsLowSurrogate(low)) {
                c = CombineSurrogates(c, low);
                i += 2;
            }
        }
        AppendUtf8(out, c);
    }
    if (i < bytes.size()) {
        AppendUtf8(out, 0xFFFD);
    }
    return out;
}

// The encoding named in an XML declaration at the start (white space before it is tolerated).
std::string_view DeclaredEncoding(std::string_view text) {
    size_t start = 0;
    while (start < text.size() &&
           (text[start] == ' ' || (text[start] >= '\t' && text[start] <= '\r'))) {
        ++start;
    }
    if (text.substr(start, 5) != "<?xml") {
        return {};
    }
    const size_t end = text.find("?>", start);
    const std::string_view declaration =
        text.substr(start, end == std::string_view::npos ? 512 : end - start);
    size_t at = declaration.find("encoding");
    if (at == std::string_view::npos) {
        return {};
    }
    at += 8;
    while (at < declaration.size() &&
           (declaration[at] == ' ' || declaration[at] == '=' || declaration[at] == '\t' ||
            declaration[at] == '\r' || declaration[at] == '\n')) {
        ++at;
    }
    if (at >= declaration.size() || (declaration[at] != '"' && declaration[at] != '\'')) {
        return {};
    }
    const char quote = declaration[at];
    const size_t close = declaration.find(quote, at + 1);
    if (close == std::string_view::npos) {
        return {};
    }
    return declaration.substr(at + 1, close - at - 1);
}

std::string_view UpToFirstZero(std::string_view text) {
    const void* zero = std::memchr(text.data(), 0, text.size());
    return zero ? text.substr(0, size_t(static_cast<const char*>(zero) - text.data())) : text;
}

} // namespace

FeedText PrepareFeedText(std::string_view bytes, std::string_view replyCharset) {
    FeedText feed;
    size_t markLength = 0;
    const WideForm form = DetectWideForm(bytes, markLength);
    if (form != WideForm::None) {
        feed.storage = WideToUtf8(bytes.substr(markLength), form);
        feed.text = UpToFirstZero(feed.storage);
        return feed;
    }
    const bool utf8Mark = StartsWith(bytes, {0xEF, 0xBB, 0xBF});
    feed.text = UpToFirstZero(bytes.substr(utf8Mark ? 3 : 0));
    if (utf8Mark) {
        return feed;
    }
    unsigned named = CodePageOfEncodingName(DeclaredEncoding(feed.text));
    if (!named) {
        named = CodePageOfEncodingName(replyCharset);
    }
    feed.codePage = named ? named : kCodePageUtf8;
    // Two-byte characters of the 7-bit encodings are written with ASCII bytes, '<' and '&'
    // among them: the whole text changes form before any tag is looked for.
    if (auto multiByte = FromSevenBit(feed.text, feed.codePage)) {
        feed.storage = std::move(multiByte->bytes);
        feed.text = feed.storage;
        feed.codePage = multiByte->codePage;
    }
    return feed;
}

std::string_view CharsetOfContentType(std::string_view contentType) {
    size_t at = 0;
    while ((at = contentType.find(';', at)) != std::string_view::npos) {
        ++at;
        while (at < contentType.size() && (contentType[at] == ' ' || contentType[at] == '\t')) {
            ++at;
        }
        std::string_view parameter = contentType.substr(at);
        parameter = parameter.substr(0, parameter.find(';'));
        if (parameter.size() > 8 && EqualsIgnoringAsciiCase(parameter.substr(0, 8), "charset=")) {
            std::string_view value = parameter.substr(8);
            while (!value.empty() && (value.back() == ' ' || value.back() == '\t')) {
                value.remove_suffix(1);
            }
            if (value.size() >= 2 && value.front() == '"' && value.back() == '"') {
                value = value.substr(1, value.size() - 2);
            }
            return value;
        }
    }
    return {};
}

std::optional<std::string> FeedBytesForReplyCharset(std::string_view bytes,
                                                    std::string_view replyCharset) {
    const FeedText own = PrepareFeedText(bytes);
    const FeedText told = PrepareFeedText(bytes, replyCharset);
    if (told.codePage == own.codePage && told.storage == own.storage) {
        return std::nullopt;
    }
    std::u16string text;
    AppendDecoded(text, told.text, told.codePage);
    return "\xEF\xBB\xBF" + Utf16ToUtf8(text);
}

} // namespace qv
