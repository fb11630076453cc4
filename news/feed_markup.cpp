#include "news/feed_markup.h"

#include <algorithm>
#include <cstdint>

#include "text/ascii.h"
#include "text/code_pages.h"
#include "text/unicode.h"

namespace qv {

namespace {

struct NamedCharacter {
    std::string_view name;
    char32_t c;
};

// The named characters of HTML 4 and XML's "apos", in byte order for a binary search. A feed
// that uses one without declaring it is not well-formed, but readers show the character.
constexpr NamedCharacter kNamedCharacters[] = {
    {"AElig", 0x00C6},   {"Aacute", 0x00C1},  {"Acirc", 0x00C2},    {"Agrave", 0x00C0},
    {"Alpha", 0x0391},   {"Aring", 0x00C5},   {"Atilde", 0x00C3},   {"Auml", 0x00C4},
    {"Beta", 0x0392},    {"Ccedil", 0x00C7},  {"Chi", 0x03A7},      {"Dagger", 0x2021},
    {"Delta", 0x0394},   {"ETH", 0x00D0},     {"Eacute", 0x00C9},   {"Ecirc", 0x00CA},
    {"Egrave", 0x00C8},  {"Epsilon", 0x0395}, {"Eta", 0x0397},      {"Euml", 0x00CB},
    {"Gamma", 0x0393},   {"Iacute", 0x00CD},  {"Icirc", 0x00CE},    {"Igrave", 0x00CC},
    {"Iota", 0x0399},    {"Iuml", 0x00CF},    {"Kappa", 0x039A},    {"Lambda", 0x039B},
    {"Mu", 0x039C},      {"Ntilde", 0x00D1},  {"Nu", 0x039D},       {"OElig", 0x0152},
    {"Oacute", 0x00D3},  {"Ocirc", 0x00D4},   {"Ograve", 0x00D2},   {"Omega", 0x03A9},
    {"Omicron", 0x039F}, {"Oslash", 0x00D8},  {"Otilde", 0x00D5},   {"Ouml", 0x00D6},
    {"Phi", 0x03A6},     {"Pi", 0x03A0},      {"Prime", 0x2033},    {"Psi", 0x03A8},
    {"Rho", 0x03A1},     {"Scaron", 0x0160},  {"Sigma", 0x03A3},    {"THORN", 0x00DE},
    {"Tau", 0x03A4},     {"Theta", 0x0398},   {"Uacute", 0x00DA},   {"Ucirc", 0x00DB},
    {"Ugrave", 0x00D9},  {"Upsilon", 0x03A5}, {"Uuml", 0x00DC},     {"Xi", 0x039E},
    {"Yacute", 0x00DD},  {"Yuml", 0x0178},    {"Zeta", 0x0396},     {"aacute", 0x00E1},
    {"acirc", 0x00E2},   {"acute", 0x00B4},   {"aelig", 0x00E6},    {"agrave", 0x00E0},
    {"alefsym", 0x2135}, {"alpha", 0x03B1},   {"amp", 0x0026},      {"and", 0x2227},
    {"ang", 0x2220},     {"apos", 0x0027},    {"aring", 0x00E5},    {"asymp", 0x2248},
    {"atilde", 0x00E3},  {"auml", 0x00E4},    {"bdquo", 0x201E},    {"beta", 0x03B2},
    {"brvbar", 0x00A6},  {"bull", 0x2022},    {"cap", 0x2229},      {"ccedil", 0x00E7},
    {"cedil", 0x00B8},   {"cent", 0x00A2},    {"chi", 0x03C7},      {"circ", 0x02C6},
    {"clubs", 0x2663},   {"cong", 0x2245},    {"copy", 0x00A9},     {"crarr", 0x21B5},
    {"cup", 0x222A},     {"curren", 0x00A4},  {"dArr", 0x21D3},     {"dagger", 0x2020},
    {"darr", 0x2193},    {"deg", 0x00B0},     {"delta", 0x03B4},    {"diams", 0x2666},
    {"divide", 0x00F7},  {"eacute", 0x00E9},  {"ecirc", 0x00EA},    {"egrave", 0x00E8},
    {"empty", 0x2205},   {"emsp", 0x2003},    {"ensp", 0x2002},     {"epsilon", 0x03B5},
    {"equiv", 0x2261},   {"eta", 0x03B7},     {"eth", 0x00F0},      {"euml", 0x00EB},
    {"euro", 0x20AC},    {"exist", 0x2203},   {"fnof", 0x0192},     {"forall", 0x2200},
    {"frac12", 0x00BD},  {"frac14", 0x00BC},  {"frac34", 0x00BE},   {"frasl", 0x2044},
    {"gamma", 0x03B3},   {"ge", 0x2265},      {"gt", 0x003E},       {"hArr", 0x21D4},
    {"harr", 0x2194},    {"hearts", 0x2665},  {"hellip", 0x2026},   {"iacute", 0x00ED},
    {"icirc", 0x00EE},   {"iexcl", 0x00A1},   {"igrave", 0x00EC},   {"image", 0x2111},
    {"infin", 0x221E},   {"int", 0x222B},     {"iota", 0x03B9},     {"iquest", 0x00BF},
    {"isin", 0x2208},    {"iuml", 0x00EF},    {"kappa", 0x03BA},    {"lArr", 0x21D0},
    {"lambda", 0x03BB},  {"lang", 0x2329},    {"laquo", 0x00AB},    {"larr", 0x2190},
    {"lceil", 0x2308},   {"ldquo", 0x201C},   {"le", 0x2264},       {"lfloor", 0x230A},
    {"lowast", 0x2217},  {"loz", 0x25CA},     {"lrm", 0x200E},      {"lsaquo", 0x2039},
    {"lsquo", 0x2018},   {"lt", 0x003C},      {"macr", 0x00AF},     {"mdash", 0x2014},
    {"micro", 0x00B5},   {"middot", 0x00B7},  {"minus", 0x2212},    {"mu", 0x03BC},
    {"nabla", 0x2207},   {"nbsp", 0x00A0},    {"ndash", 0x2013},    {"ne", 0x2260},
    {"ni", 0x220B},      {"not", 0x00AC},     {"notin", 0x2209},    {"nsub", 0x2284},
    {"ntilde", 0x00F1},  {"nu", 0x03BD},      {"oacute", 0x00F3},   {"ocirc", 0x00F4},
    {"oelig", 0x0153},   {"ograve", 0x00F2},  {"oline", 0x203E},    {"omega", 0x03C9},
    {"omicron", 0x03BF}, {"oplus", 0x2295},   {"or", 0x2228},       {"ordf", 0x00AA},
    {"ordm", 0x00BA},    {"oslash", 0x00F8},  {"otilde", 0x00F5},   {"otimes", 0x2297},
    {"ouml", 0x00F6},    {"para", 0x00B6},    {"part", 0x2202},     {"permil", 0x2030},
    {"perp", 0x22A5},    {"phi", 0x03C6},     {"pi", 0x03C0},       {"piv", 0x03D6},
    {"plusmn", 0x00B1},  {"pound", 0x00A3},   {"prime", 0x2032},    {"prod", 0x220F},
    {"prop", 0x221D},    {"psi", 0x03C8},     {"quot", 0x0022},     {"rArr", 0x21D2},
    {"radic", 0x221A},   {"rang", 0x232A},    {"raquo", 0x00BB},    {"rarr", 0x2192},
    {"rceil", 0x2309},   {"rdquo", 0x201D},   {"real", 0x211C},     {"reg", 0x00AE},
    {"rfloor", 0x230B},  {"rho", 0x03C1},     {"rlm", 0x200F},      {"rsaquo", 0x203A},
    {"rsquo", 0x2019},   {"sbquo", 0x201A},   {"scaron", 0x0161},   {"sdot", 0x22C5},
    {"sect", 0x00A7},    {"shy", 0x00AD},     {"sigma", 0x03C3},    {"sigmaf", 0x03C2},
    {"sim", 0x223C},     {"spades", 0x2660},  {"sub", 0x2282},      {"sube", 0x2286},
    {"sum", 0x2211},     {"sup", 0x2283},     {"sup1", 0x00B9},     {"sup2", 0x00B2},
    {"sup3", 0x00B3},    {"supe", 0x2287},    {"szlig", 0x00DF},    {"tau", 0x03C4},
    {"there4", 0x2234},  {"theta", 0x03B8},   {"thetasym", 0x03D1}, {"thinsp", 0x2009},
    {"thorn", 0x00FE},   {"tilde", 0x02DC},   {"times", 0x00D7},    {"trade", 0x2122},
    {"uArr", 0x21D1},    {"uacute", 0x00FA},  {"uarr", 0x2191},     {"ucirc", 0x00FB},
    {"ugrave", 0x00F9},  {"uml", 0x00A8},     {"upsih", 0x03D2},    {"upsilon", 0x03C5},
    {"uuml", 0x00FC},    {"weierp", 0x2118},  {"xi", 0x03BE},       {"yacute", 0x00FD},
    {"yen", 0x00A5},     {"yuml", 0x00FF},    {"zeta", 0x03B6},     {"zwj", 0x200D},
    {"zwnj", 0x200C},
};

constexpr size_t kLongestName = 8;

template <typename Char> int DigitValue(Char c, int base) {
    int value = 99;
    if (c >= '0' && c <= '9') {
        value = int(c - '0');
    } else if (c >= 'a' && c <= 'f') {
        value = int(c - 'a' + 10);
    } else if (c >= 'A' && c <= 'F') {
        value = int(c - 'A' + 10);
    }
    return value < base ? value : -1;
}

// XML's own five come first: escaped HTML is made of little else.
char32_t NamedCharacterValue(std::string_view name) {
    if (name == "lt" || name == "gt") {
        return name[0] == 'l' ? U'<' : U'>';
    }
    if (name == "amp" || name == "quot") {
        return name[0] == 'a' ? U'&' : U'"';
    }
    const auto* end = std::end(kNamedCharacters);
    const auto* found = std::lower_bound(
        std::begin(kNamedCharacters), end, name,
        [](const NamedCharacter& entry, std::string_view key) { return entry.name < key; });
    return found != end && found->name == name ? found->c : 0;
}

// "&#233;", "&#xE9;" or "&eacute;" at the start of text.
template <typename Char> Reference ReadReferenceOf(std::basic_string_view<Char> text) {
    if (text.size() < 3 || text[0] != '&') {
        return {};
    }
    if (text[1] == '#') {
        const bool hex = text[2] == 'x' || text[2] == 'X';
        const int base = hex ? 16 : 10;
        uint32_t value = 0;
        size_t i = hex ? 3 : 2;
        const size_t first = i;
        for (int digit; i < text.size() && (digit = DigitValue(text[i], base)) >= 0; ++i) {
            value = value * uint32_t(base) + uint32_t(digit);
            if (value > 0x10FFFF) {
                return {};
            }
        }
        const bool valid =
            i > first && i < text.size() && text[i] == ';' && value != 0 && !IsSurrogate(value);
        return valid ? Reference{char32_t(value), i + 1} : Reference{};
    }
    char name[kLongestName];
    size_t length = 0;
    while (length < kLongestName && 1 + length < text.size() &&
           (IsAsciiLetter(text[1 + length]) || DigitValue(text[1 + length], 10) >= 0)) {
        name[length] = char(text[1 + length]);
        ++length;
    }
    if (length == 0 || 1 + length >= text.size() || text[1 + length] != ';') {
        return {};
    }
    const char32_t c = NamedCharacterValue({name, length});
    return c ? Reference{c, length + 2} : Reference{};
}

template <typename Char> size_t TagEndFrom(std::basic_string_view<Char> text, size_t from) {
    Char quote = 0;
    for (size_t i = from; i < text.size(); ++i) {
        const Char c = text[i];
        if (quote) {
            quote = c == quote ? 0 : quote;
        } else if (c == '"' || c == '\'') {
            quote = c;
        } else if (c == '>') {
            return i;
        }
    }
    return std::basic_string_view<Char>::npos;
}

// Where the tag that starts at text[at] ends (its '>').
template <typename Char> size_t TagEnd(std::basic_string_view<Char> text, size_t at) {
    return TagEndFrom(text, at + 1);
}

template <typename Char>
size_t SkipPast(std::basic_string_view<Char> text, size_t from, std::string_view end) {
    const std::basic_string<Char> needle(end.begin(), end.end());
    const size_t at = text.find(needle, from);
    return at == std::basic_string_view<Char>::npos ? text.size() : at + end.size();
}

template <typename Char>
bool StartsWith(std::basic_string_view<Char> text, std::string_view prefix) {
    return text.size() >= prefix.size() && std::equal(prefix.begin(), prefix.end(), text.begin());
}

// A tag, a closing tag, a comment or a declaration starts here (text[0] is '<').
template <typename Char> bool StartsMarkup(std::basic_string_view<Char> text) {
    return text.size() > 1 && (IsAsciiLetter(text[1]) || text[1] == '/' || text[1] == '!' ||
                               text[1] == '?' || text[1] == '_' || text[1] == ':');
}

// XML reads a line break written CR LF, or CR alone, as LF.
void AppendText(std::u16string& out, std::string_view bytes, unsigned codePage) {
    const size_t start = out.size();
    AppendDecoded(out, bytes, codePage);
    if (std::find(out.begin() + std::ptrdiff_t(start), out.end(), u'\r') == out.end()) {
        return;
    }
    size_t to = start;
    for (size_t from = start; from < out.size(); ++from) {
        if (out[from] == u'\r') {
            out[to++] = u'\n';
            from += from + 1 < out.size() && out[from + 1] == u'\n';
        } else {
            out[to++] = out[from];
        }
    }
    out.resize(to);
}

// The lower-case name of the HTML tag at text[at] ('<' there), without its '/'; names longer
// than any that matters are cut. Made without allocating: a text may hold millions of tags.
class HtmlTagName {
public:
    HtmlTagName(std::u16string_view text, size_t at) {
        for (size_t i = at + 1 + (text[at + 1] == '/');
             i < text.size() && length_ < std::size(name_); ++i) {
            const char16_t c = text[i];
            if (!IsAsciiLetter(c) && DigitValue(c, 10) < 0) {
                break;
            }
            name_[length_++] = AsciiLower(c);
        }
    }
    std::u16string_view view() const { return {name_, length_}; }

private:
    char16_t name_[12] = {};
    size_t length_ = 0;
};

// Tags that break a line where they stand; the others (b, a, span, ...) join their text.
bool BreaksText(std::u16string_view name) {
    static constexpr std::u16string_view kBreaking[] = {
        u"br", u"p",  u"div", u"li", u"ul", u"ol", u"tr", u"td",  u"th", u"table", u"blockquote",
        u"h1", u"h2", u"h3",  u"h4", u"h5", u"h6", u"hr", u"pre", u"dd", u"dt",    u"img"};
    return std::find(std::begin(kBreaking), std::end(kBreaking), name) != std::end(kBreaking);
}

// Past the end of a script or style element that starts at text[at]: its end tag, in any case,
// is looked for in place, and when there is none the element takes the rest of the text.
size_t SkipHiddenElement(std::u16string_view text, size_t at, std::u16string_view name) {
    const auto sameLetter = [](char16_t lower, char16_t c) { return AsciiLower(c) == lower; };
    for (size_t close = text.find(u"</", at); close != std::u16string_view::npos;
         close = text.find(u"</", close + 2)) {
        const std::u16string_view rest = text.substr(close + 2);
        if (rest.size() >= name.size() &&
            std::equal(name.begin(), name.end(), rest.begin(), sameLetter)) {
            const size_t end = TagEnd(text, close);
            return end == std::u16string_view::npos ? text.size() : end + 1;
        }
    }
    return text.size();
}

std::u16string DecodeHtml(std::u16string_view html) {
    std::u16string out;
    out.reserve(html.size());
    size_t i = 0;
    while (i < html.size()) {
        const char16_t c = html[i];
        const std::u16string_view rest = html.substr(i);
        if (c == '&') {
            const Reference reference = ReadReferenceOf(rest);
            reference.length ? AppendCodePoint(out, reference.c) : out.push_back(c);
            i += reference.length ? reference.length : 1;
        } else if (c == '<' && StartsWith(rest, "<!--")) {
            i = SkipPast(html, i + 4, "-->");
        } else if (c == '<' && StartsMarkup(rest)) {
            const HtmlTagName tagName(html, i);
            const std::u16string_view name = tagName.view();
            const size_t end = TagEnd(html, i);
            if (end == std::u16string_view::npos) {
                break; // a tag cut off at the end shows nothing of itself
            }
            if (rest[1] != '/' && (name == u"script" || name == u"style")) {
                i = SkipHiddenElement(html, i, name);
            } else {
                i = end + 1;
            }
            if (BreaksText(name)) {
                out.push_back(u' ');
            }
        } else {
            out.push_back(c);
            ++i;
        }
    }
    return out;
}

} // namespace

Reference ReadReference(std::string_view text) {
    return ReadReferenceOf(text);
}

std::u16string ElementText(std::string_view content, unsigned codePage) {
    std::u16string out;
    out.reserve(content.size());
    size_t i = 0;
    while (i < content.size()) {
        const size_t markup = content.find_first_of("<&", i);
        if (markup != i) {
            AppendText(out, content.substr(i, markup - i), codePage);
        }
        if (markup == std::string_view::npos) {
            break;
        }
        const std::string_view rest = content.substr(markup);
        if (rest[0] == '&') {
            const Reference reference = ReadReference(rest);
            reference.length ? AppendCodePoint(out, reference.c) : out.push_back(u'&');
            i = markup + (reference.length ? reference.length : 1);
        } else if (rest.starts_with("<![CDATA[")) {
            const size_t end = content.find("]]>", markup + 9);
            AppendText(out, content.substr(markup + 9, end - std::min(end, markup + 9)), codePage);
            i = end == std::string_view::npos ? content.size() : end + 3;
        } else if (rest.starts_with("<!--")) {
            i = SkipPast(content, markup + 4, "-->");
        } else if (!StartsMarkup(rest)) {
            out.push_back(u'<'); // a bare '<' of a broken feed is text
            i = markup + 1;
        } else {
            const size_t end = TagEnd(content, markup);
            i = end == std::string_view::npos ? content.size() : end + 1;
        }
    }
    return out;
}

std::u16string HtmlToPlainText(std::u16string_view html) {
    return CollapseSpaces(DecodeHtml(html));
}

std::u16string CollapseSpaces(std::u16string_view text) {
    std::u16string out;
    out.reserve(text.size());
    bool space = false;
    for (const char16_t c : text) {
        if (IsAsciiSpace(c)) {
            space = true;
            continue;
        }
        if (space && !out.empty()) {
            out.push_back(u' ');
        }
        space = false;
        out.push_back(c);
    }
    return out;
}

size_t FindTagEnd(std::string_view text, size_t from) {
    return TagEndFrom(text, from);
}

std::string_view AttributeValue(std::string_view attributes, std::string_view name) {
    size_t at = 0;
    while ((at = attributes.find(name, at)) != std::string_view::npos) {
        const bool startsName = at == 0 || IsAsciiSpace(attributes[at - 1]);
        size_t i = at + name.size();
        while (i < attributes.size() && IsAsciiSpace(attributes[i])) {
            ++i;
        }
        if (!startsName || i >= attributes.size() || attributes[i] != '=') {
            at += name.size();
            continue;
        }
        ++i;
        while (i < attributes.size() && IsAsciiSpace(attributes[i])) {
            ++i;
        }
        if (i >= attributes.size() || (attributes[i] != '"' && attributes[i] != '\'')) {
            return {};
        }
        const size_t close = attributes.find(attributes[i], i + 1);
        return close == std::string_view::npos ? std::string_view{}
                                               : attributes.substr(i + 1, close - i - 1);
    }
    return {};
}

} // namespace qv
