#include "news/legacy_code_page.h"

// The one place where the news reader needs the platform: code page tables are the system's.
#if defined(_WIN32)
#include <windows.h>
#else
#include <iconv.h>

#include <cerrno>
#endif

#include <vector>

namespace qv {

#if defined(_WIN32)

bool AppendLegacyDecoded(std::u16string& out, std::string_view bytes, unsigned codePage) {
    if (bytes.empty()) {
        return true;
    }
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

namespace {

// The iconv names of the Windows code pages the feeds name.
const char* IconvName(unsigned codePage) {
    switch (codePage) {
    case 874:
        return "CP874";
    case 932:
        return "CP932";
    case 936:
        return "GBK";
    case 949:
        return "CP949";
    case 950:
        return "BIG5";
    case 1250:
        return "CP1250";
    case 1251:
        return "CP1251";
    case 1253:
        return "CP1253";
    case 1254:
        return "CP1254";
    case 1255:
        return "CP1255";
    case 1256:
        return "CP1256";
    case 1257:
        return "CP1257";
    case 1258:
        return "CP1258";
    case 20866:
        return "KOI8-R";
    case 20932:
        return "EUC-JP";
    case 21866:
        return "KOI8-U";
    case 28592:
        return "ISO-8859-2";
    case 28593:
        return "ISO-8859-3";
    case 28594:
        return "ISO-8859-4";
    case 28595:
        return "ISO-8859-5";
    case 28596:
        return "ISO-8859-6";
    case 28597:
        return "ISO-8859-7";
    case 28598:
        return "ISO-8859-8";
    case 28603:
        return "ISO-8859-13";
    case 28605:
        return "ISO-8859-15";
    case 38598:
        return "ISO-8859-8";
    case 54936:
        return "GB18030";
    default:
        return nullptr;
    }
}

} // namespace

bool AppendLegacyDecoded(std::u16string& out, std::string_view bytes, unsigned codePage) {
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

} // namespace qv
