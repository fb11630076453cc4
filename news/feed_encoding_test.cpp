#include "news/feed_encoding.h"

#include "news/feed_entries.h"
#include "news/feed_markup.h"
#include "text/code_pages.h"
#include "text/unicode.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using qv::PrepareFeedText;
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

TEST(FeedEncoding, TheReplysCharsetCountsOnlyWhereTheFileNamesNone) {
    EXPECT_EQ(PrepareFeedText("<?xml version=\"1.0\"?><rss>", "windows-1251").codePage, 1251u);
    EXPECT_EQ(PrepareFeedText("<rss>", "KOI8-R").codePage, 20866u);
    EXPECT_EQ(PrepareFeedText("<?xml version='1.0' encoding='iso-8859-2'?>", "koi8-r").codePage,
              28592u);
    EXPECT_EQ(PrepareFeedText("\xEF\xBB\xBF<rss>", "windows-1251").codePage, 65001u);
    EXPECT_EQ(PrepareFeedText("<rss>", "x-unknown").codePage, 65001u);
}

// The download keeps what the reply said in the file itself.
TEST(FeedEncoding, AFeedThatNamesNoEncodingIsKeptAsUtf8WhenTheReplyNamesOne) {
    EXPECT_EQ(qv::CharsetOfContentType("text/xml; charset=\"KOI8-R\" "), "KOI8-R");
    EXPECT_EQ(qv::CharsetOfContentType("application/rss+xml;q=1;Charset=utf-8"), "utf-8");
    EXPECT_EQ(qv::CharsetOfContentType("text/xml"), "");
    EXPECT_EQ(qv::CharsetOfContentType(";charset=koi8-r"), "koi8-r"); // no media type before it
    EXPECT_EQ(qv::FeedBytesForReplyCharset("<?xml version=\"1.0\"?><t>\xF0\xD2</t>", "koi8-r"),
              "\xEF\xBB\xBF<?xml version=\"1.0\"?><t>\xD0\x9F\xD1\x80</t>"); // Пр
    EXPECT_EQ(qv::FeedBytesForReplyCharset("<?xml version='1.0' encoding='cp1251'?><t>\xF0</t>",
                                           "koi8-r"),
              std::nullopt);
    EXPECT_EQ(qv::FeedBytesForReplyCharset("<t>\xC3\xA9</t>", "utf-8"), std::nullopt);
    EXPECT_EQ(qv::FeedBytesForReplyCharset("\xEF\xBB\xBF<t>\xC3\xA9</t>", "koi8-r"), std::nullopt);
    const auto japanese = qv::ReadFeedEntries(
        *qv::FeedBytesForReplyCharset("<item><title>\x1B$B$3\x1B(B</title></item>", "ISO-2022-JP"));
    ASSERT_EQ(japanese.size(), 1u);
    EXPECT_EQ(japanese[0].title, u"\u3053");
}

std::u16string Decoded(std::string_view bytes, unsigned codePage) {
    std::u16string text;
    qv::AppendDecoded(text, bytes, codePage);
    return text;
}

TEST(FeedEncoding, TextDecodesFromItsCodePageAndBadUtf8AsWestern) {
    EXPECT_EQ(Decoded("Caf\xC3\xA9 \xF0\x9F\x98\x80", 65001), u"Caf\u00E9 \U0001F600");
    EXPECT_EQ(Decoded("Caf\xE9 \x93q\x94 \x80\x81", 65001),
              u"Caf\u00E9 \u201Cq\u201D \u20AC\u0081");
    EXPECT_EQ(Decoded("\xC1\xE0\xE1", 1251), u"\u0411\u0430\u0431");
    EXPECT_EQ(Decoded("\xD6\xD0\xCE\xC4", 936), u"\u4E2D\u6587");
    EXPECT_EQ(Decoded("\x82\xA0", 932), u"\u3042");
    EXPECT_EQ(Decoded("\xC7\xD1", 949), u"\uD55C");
    EXPECT_EQ(Decoded("\xE1\xEB", 28597), u"\u03B1\u03BB");
    EXPECT_EQ(Decoded("\xE1\xE4", 1256), u"\u0644\u0646");
    EXPECT_EQ(Decoded("\xE9", 12345), u"\u00E9"); // a code page nobody has reads as Western
    EXPECT_EQ(qv::Utf16ToUtf8(u"\u00E9\U0001F600\xD800x"), "\xC3\xA9\xF0\x9F\x98\x80\xEF\xBF\xBDx");
    EXPECT_FALSE(qv::IsValidUtf8("\xC0\xAF"));         // overlong
    EXPECT_FALSE(qv::IsValidUtf8("\xED\xA0\x80"));     // surrogate
    EXPECT_FALSE(qv::IsValidUtf8("\xF4\x90\x80\x80")); // beyond U+10FFFF
    EXPECT_FALSE(qv::IsValidUtf8("\xE2\x82"));         // cut short
    EXPECT_FALSE(qv::IsValidUtf8("\xC3\xC0"));         // a lead byte where a follower must be
    EXPECT_FALSE(qv::IsValidUtf8("\xE3\xC0\x80"));     // the same, after the lead of three
    EXPECT_FALSE(qv::IsValidUtf8("\xE3\x80"
                                 "A"));                   // its third byte no follower
    EXPECT_TRUE(qv::IsValidUtf8("\xC3\xBF\xED\x9F\xBF")); // the highest followers: U+00FF, U+D7FF
    EXPECT_TRUE(qv::IsValidUtf8("\xE0\xA4\x85"));         // the lowest lead of three: U+0905
    // Each lead byte's range from both sides.
    EXPECT_FALSE(qv::IsValidUtf8("\x80"));            // a follower with no lead
    EXPECT_TRUE(qv::IsValidUtf8("\xDF\xBF"));         // U+07FF
    EXPECT_FALSE(qv::IsValidUtf8("\xE0\x9F\xBF"));    // overlong
    EXPECT_TRUE(qv::IsValidUtf8("\xE1\x80\x80"));     // U+1000
    EXPECT_TRUE(qv::IsValidUtf8("\xF4\x8F\xBF\xBF")); // U+10FFFF
    EXPECT_FALSE(qv::IsValidUtf8("\xF5\x80\x80\x80"));
    EXPECT_TRUE(qv::IsValidUtf8("\xC2\x80\xE0\xA0\x80\xEE\x80\x80")); // U+0080, U+0800, U+E000
    EXPECT_FALSE(qv::IsValidUtf8("\xC1\xBF"));                        // overlong
    EXPECT_TRUE(qv::IsValidUtf8("\xF0\x90\x80\x80\xF1\x80\x80\x80")); // U+10000, U+40000
    EXPECT_FALSE(qv::IsValidUtf8("\xF0\x8F\xBF\xBF"));                // overlong
    EXPECT_FALSE(qv::IsValidUtf8("\xF1\xC0\x80\x80")); // a lead where its second byte must be
}

// The whole file changes form first: a two-byte character may be written with '<' or '&'.
TEST(FeedEncoding, SevenBitEncodingsAreDecodedToo) {
    const auto japanese = qv::ReadFeedEntries(
        "<?xml version=\"1.0\" encoding=\"ISO-2022-JP\"?><rss><item><title>"
        "\x1B$B$3$s$K$A$O\x1B(B &amp; \x1B$B<&#A#a_!\x1B(B \x1B(I12\x1B(B</title></item></rss>");
    ASSERT_EQ(japanese.size(), 1u);
    // Konnichiwa; a kanji written "<&" (JIS 0x3C26); rows of odd number and of Shift_JIS's upper
    // lead bytes; half-width katakana.
    EXPECT_EQ(japanese[0].title,
              u"\u3053\u3093\u306B\u3061\u306F & \u75D4\uFF21\uFF41\u6F3E \uFF71\uFF72");
    const auto korean = qv::ReadFeedEntries("<?xml version='1.0' encoding='iso-2022-kr'?>\x1B$)C"
                                            "<item><title>\x0EGQ\x0F!\x0EGQ\nGQ</title></item>");
    ASSERT_EQ(korean.size(), 1u);
    EXPECT_EQ(korean[0].title, u"\uD55C!\uD55C\nGQ"); // a shift ends with its line
    const auto chinese =
        qv::ReadFeedEntries("<item><title>~{VPND~}~~</title></item>", "HZ-GB-2312");
    ASSERT_EQ(chinese.size(), 1u);
    EXPECT_EQ(chinese[0].title, u"\u4E2D\u6587~");
}

} // namespace
