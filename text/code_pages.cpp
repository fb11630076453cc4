#include "text/code_pages.h"

#include "text/ascii.h"
#include "text/unicode.h"

// Code page tables are the system's: Windows' own, iconv natively.
#if defined(_WIN32)
#include <windows.h>
#else
#include <iconv.h>

#include <cerrno>
#include <vector>
#endif

#include <cstdint>

namespace qv {

namespace {

struct EncodingName {
    std::string_view name;
    unsigned codePage;
    // The same page's name for iconv; none where the page never reaches the system's tables
    // (UTF-8 and Western are read here, UTF-16, UTF-32 and the 7-bit forms are turned into
    // 8-bit text first).
    const char* iconvName;
};

// Names as feeds write them. ISO-8859-1 and ISO-8859-9 are read as their Windows supersets,
// as browsers do: feeds that declare them often carry the Windows-only punctuation.
constexpr EncodingName kEncodingNames[] = {
    {"utf-8", 65001, nullptr},
    {"utf8", 65001, nullptr},
    {"unicode-1-1-utf-8", 65001, nullptr},
    {"us-ascii", 1252, nullptr},
    {"ascii", 1252, nullptr},
    {"iso-8859-1", 1252, nullptr},
    {"iso8859-1", 1252, nullptr},
    {"iso_8859-1", 1252, nullptr},
    {"latin1", 1252, nullptr},
    {"l1", 1252, nullptr},
    {"windows-1252", 1252, nullptr},
    {"cp1252", 1252, nullptr},
    {"x-cp1252", 1252, nullptr},
    {"iso-8859-2", 28592, "ISO-8859-2"},
    {"iso8859-2", 28592, "ISO-8859-2"},
    {"latin2", 28592, "ISO-8859-2"},
    {"iso-8859-3", 28593, "ISO-8859-3"},
    {"iso-8859-4", 28594, "ISO-8859-4"},
    {"iso-8859-5", 28595, "ISO-8859-5"},
    {"iso-8859-6", 28596, "ISO-8859-6"},
    {"iso-8859-7", 28597, "ISO-8859-7"},
    {"iso-8859-8", 28598, "ISO-8859-8"},
    {"iso-8859-8-i", 38598, "ISO-8859-8"},
    {"iso-8859-9", 1254, "CP1254"},
    {"latin5", 1254, "CP1254"},
    {"iso-8859-13", 28603, "ISO-8859-13"},
    {"iso-8859-15", 28605, "ISO-8859-15"},
    {"latin9", 28605, "ISO-8859-15"},
    {"windows-1250", 1250, "CP1250"},
    {"cp1250", 1250, "CP1250"},
    {"windows-1251", 1251, "CP1251"},
    {"cp1251", 1251, "CP1251"},
    {"windows-1253", 1253, "CP1253"},
    {"windows-1254", 1254, "CP1254"},
    {"windows-1255", 1255, "CP1255"},
    {"windows-1256", 1256, "CP1256"},
    {"windows-1257", 1257, "CP1257"},
    {"windows-1258", 1258, "CP1258"},
    {"windows-874", 874, "CP874"},
    {"tis-620", 874, "CP874"},
    {"koi8-r", 20866, "KOI8-R"},
    {"koi8-u", 21866, "KOI8-U"},
    {"gb2312", 936, "GBK"},
    {"gbk", 936, "GBK"},
    {"gb_2312-80", 936, "GBK"},
    {"x-gbk", 936, "GBK"},
    {"cp936", 936, "GBK"},
    {"gb18030", 54936, "GB18030"},
    {"big5", 950, "BIG5"},
    {"big5-hkscs", 950, "BIG5"},
    {"shift_jis", 932, "CP932"},
    {"shift-jis", 932, "CP932"},
    {"sjis", 932, "CP932"},
    {"x-sjis", 932, "CP932"},
    {"ms_kanji", 932, "CP932"},
    {"windows-31j", 932, "CP932"},
    {"euc-jp", 20932, "EUC-JP"},
    {"iso-2022-jp", 50220, nullptr},
    {"csiso2022jp", 50220, nullptr},
    {"iso-2022-kr", 50225, nullptr},
    {"csiso2022kr", 50225, nullptr},
    {"hz-gb-2312", 52936, nullptr},
    {"euc-kr", 949, "CP949"},
    {"ks_c_5601-1987", 949, "CP949"},
    {"windows-949", 949, "CP949"},
    {"utf-16", 65001, nullptr},
    {"utf-16le", 65001, nullptr},
    {"utf-16be", 65001, nullptr},
    {"utf-32", 65001, nullptr},
    {"ucs-2", 65001, nullptr},
};

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

#if defined(_WIN32)

// False, with nothing appended, when the system does not know the code page.
bool AppendSystemDecoded(std::u16string& out, std::string_view bytes, unsigned codePage) {
    if (!IsValidCodePage(codePage) || bytes.size() > 0x7FFFFFFF) {
        return false;
    }
    const int length =
        MultiByteToWideChar(codePage, 0, bytes.data(), int(bytes.size()), nullptr, 0);
    if (length <= 0) {
        return false;
    }
    const size_t start = out.size();
    out.resize(start + size_t(length));
    MultiByteToWideChar(codePage, 0, bytes.data(), int(bytes.size()),
                        reinterpret_cast<wchar_t*>(out.data() + start), length);
    return true;
}

#else

const char* IconvName(unsigned codePage) {
    for (const EncodingName& known : kEncodingNames) {
        if (known.codePage == codePage && known.iconvName) {
            return known.iconvName;
        }
    }
    return nullptr;
}

bool AppendSystemDecoded(std::u16string& out, std::string_view bytes, unsigned codePage) {
    const char* name = IconvName(codePage);
    const iconv_t converter = name ? iconv_open("UTF-16LE", name) : iconv_t(-1);
    if (converter == iconv_t(-1)) {
        return false;
    }
    std::vector<char> wide(bytes.size() * 4 + 8);
    char* in = const_cast<char*>(bytes.data());
    size_t inLeft = bytes.size();
    while (inLeft > 0) {
        char* outBytes = wide.data();
        size_t outLeft = wide.size();
        const size_t result = iconv(converter, &in, &inLeft, &outBytes, &outLeft);
        for (const char* p = wide.data(); p + 1 < outBytes; p += 2) {
            out.push_back(char16_t(uint8_t(p[0]) | (uint8_t(p[1]) << 8)));
        }
        if (result == size_t(-1) && errno != E2BIG) { // a byte the page does not map
            out.push_back(u'\uFFFD');
            ++in;
            --inLeft;
        }
    }
    iconv_close(converter);
    return true;
}

#endif

} // namespace

unsigned CodePageOfEncodingName(std::string_view name) {
    for (const EncodingName& known : kEncodingNames) {
        if (EqualsIgnoringAsciiCase(name, known.name)) {
            return known.codePage;
        }
    }
    return 0;
}

void AppendDecoded(std::u16string& out, std::string_view bytes, unsigned codePage) {
    if (IsAscii(bytes)) {
        out.append(bytes.begin(), bytes.end());
    } else if (codePage == kCodePageUtf8 && IsValidUtf8(bytes)) {
        AppendValidUtf8(out, bytes);
    } else if (codePage == kCodePageUtf8 || codePage == kCodePageWestern ||
               !AppendSystemDecoded(out, bytes, codePage)) {
        AppendWestern(out, bytes);
    }
}

} // namespace qv
