#include "news/feed_encoding.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using qv::PrepareFeedText;
using qv::TitleCodePage;
using namespace std::string_literals;

TEST(FeedEncoding, TheDeclarationNamesTheCodePageAndUtf8IsTheDefault) {
    EXPECT_EQ(PrepareFeedText("<rss><item>").codePage, 65001u);
    EXPECT_EQ(PrepareFeedText("<?xml version=\"1.0\"?><rss>").codePage, 65001u);
    EXPECT_EQ(PrepareFeedText("<?xml version=\"1.0\" encoding=\"windows-1251\"?>").codePage, 1251u);
    EXPECT_EQ(PrepareFeedText("<?xml version='1.0' encoding = 'ISO-8859-2' ?>").codePage, 28592u);
    EXPECT_EQ(PrepareFeedText("\r\n  <?xml version=\"1.0\" encoding=\"GB2312\"?>").codePage, 936u);
    // Latin-1 is read as its Windows superset, which has the curly quotes.
    EXPECT_EQ(PrepareFeedText("<?xml version=\"1.0\" encoding=\"iso-8859-1\"?>").codePage, 1252u);
    // Unknown names and encodings named only later in the file fall back to UTF-8.
    EXPECT_EQ(PrepareFeedText("<?xml version=\"1.0\" encoding=\"x-klingon\"?>").codePage, 65001u);
    EXPECT_EQ(PrepareFeedText("<rss encoding=\"windows-1251\">").codePage, 65001u);
    EXPECT_EQ(PrepareFeedText("<?xml version=\"1.0\"?><rss a='encoding=\"koi8-r\"'>").codePage,
              65001u);
}

TEST(FeedEncoding, AByteOrderMarkWinsOverTheDeclaration) {
    const auto feed =
        PrepareFeedText("\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"windows-1252\"?>"
                        "<item>");
    EXPECT_EQ(feed.codePage, 65001u);
    EXPECT_TRUE(feed.text.starts_with("<?xml")); // the mark is not text
}

TEST(FeedEncoding, Utf8DeclaredAsUtf16IsReadAsUtf8) {
    const auto feed = PrepareFeedText("<?xml version=\"1.0\" encoding=\"utf-16\"?><item>");
    EXPECT_EQ(feed.codePage, 65001u);
    EXPECT_EQ(feed.text.size(), 45u);
}

std::string Utf16LE(std::u16string_view text) {
    std::string bytes;
    for (char16_t c : text) {
        bytes.push_back(char(c & 0xFF));
        bytes.push_back(char(c >> 8));
    }
    return bytes;
}

std::string Utf16BE(std::u16string_view text) {
    std::string bytes;
    for (char16_t c : text) {
        bytes.push_back(char(c >> 8));
        bytes.push_back(char(c & 0xFF));
    }
    return bytes;
}

TEST(FeedEncoding, WideFilesAreTurnedIntoUtf8WithOrWithoutAMark) {
    const std::u16string feed = u"<item><title>Caf\u00E9 \U0001F600</title>";
    const std::string utf8 = "<item><title>Caf\xC3\xA9 \xF0\x9F\x98\x80</title>";
    for (const std::string& bytes :
         {"\xFF\xFE" + Utf16LE(feed), Utf16LE(feed), "\xFE\xFF" + Utf16BE(feed), Utf16BE(feed)}) {
        const auto prepared = PrepareFeedText(bytes);
        EXPECT_EQ(prepared.text, utf8);
        EXPECT_EQ(prepared.codePage, 65001u);
    }
    std::string utf32 = "\xFF\xFE\x00\x00"s;
    for (char c : std::string("<item>")) {
        utf32 += std::string{c, 0, 0, 0};
    }
    utf32 += "\xE9\x00\x00\x00"s;
    EXPECT_EQ(PrepareFeedText(utf32).text, "<item>\xC3\xA9");
    // A lone surrogate and an odd last byte become U+FFFD.
    EXPECT_EQ(PrepareFeedText(Utf16LE(u"<a\xD800") + "b").text, "<a\xEF\xBF\xBD\xEF\xBF\xBD");
}

TEST(FeedEncoding, TheTextEndsAtItsFirstZeroByte) {
    EXPECT_EQ(PrepareFeedText("<item><title>A"s + '\0' + "</title>"s).text, "<item><title>A");
    EXPECT_EQ(PrepareFeedText(Utf16LE(u"<item>\0<title>")).text, "<item>");
}

TEST(FeedEncoding, InvalidUtf8TitlesInAUtf8FeedAreReadAsWestern) {
    EXPECT_EQ(TitleCodePage("Caf\xC3\xA9", 65001), 65001u);
    EXPECT_EQ(TitleCodePage("Caf\xE9", 65001), 1252u);
    EXPECT_EQ(TitleCodePage("Caf\xE9", 1251), 1251u);
    EXPECT_FALSE(qv::IsValidUtf8("\xC0\xAF"));         // overlong
    EXPECT_FALSE(qv::IsValidUtf8("\xED\xA0\x80"));     // surrogate
    EXPECT_FALSE(qv::IsValidUtf8("\xF4\x90\x80\x80")); // beyond U+10FFFF
    EXPECT_FALSE(qv::IsValidUtf8("\xE2\x82"));         // cut short
    EXPECT_TRUE(qv::IsValidUtf8("\xF0\x9F\x98\x80\xE2\x82\xAC\xC3\xA9"));
}

} // namespace
