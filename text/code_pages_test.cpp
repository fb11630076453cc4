#include "text/code_pages.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::u16string DecodedAs(std::string_view bytes, std::string_view encodingName) {
    std::u16string text;
    qv::AppendDecoded(text, bytes, qv::CodePageOfEncodingName(encodingName));
    return text;
}

// Where two pages differ in a byte or two, each name reads its own page, on Windows through the
// system and natively through iconv: one table gives both builds the same page.
TEST(CodePages, EachNameReadsItsOwnPageInEveryBuild) {
    EXPECT_EQ(DecodedAs("\xA4\xC1", "KOI8-R"), u"\u2553\u0430");
    EXPECT_EQ(DecodedAs("\xA4\xC1", "koi8-u"), u"\u0454\u0430");
    EXPECT_EQ(DecodedAs("\xA4", "ISO-8859-15"), u"\u20AC");
    EXPECT_EQ(DecodedAs("\xA4", "latin1"), u"\u00A4");
    EXPECT_EQ(DecodedAs("\xA1", "TIS-620"), u"\u0E01");
    EXPECT_EQ(DecodedAs("\xA4\x40", "Big5"), u"\u4E00");
    EXPECT_EQ(DecodedAs("\xA4\xA2", "EUC-JP"), u"\u3042");
    EXPECT_EQ(DecodedAs("\xA4", "x-unknown"), u"\u00A4"); // an unknown name reads as Western
}

} // namespace
