#include "news/feed_entries.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "news/feed_text.h"

namespace qv {
void PrintTo(const FeedEntry& entry, std::ostream* out) {
    *out << '{' << ::testing::PrintToString(Utf16ToUtf8(entry.title)) << ", "
         << ::testing::PrintToString(entry.link) << '}';
}
} // namespace qv

namespace {

using qv::FeedEntry;
using qv::ReadFeedEntries;
using Entries = std::vector<FeedEntry>;

TEST(FeedReader, EachItemGivesItsOwnTitleAndLinkAndTheChannelNone) {
    const std::string_view rss =
        "<?xml version=\"1.0\"?><rss><channel><title>Channel</title><link>http://c/</link>"
        "<item><title>One</title></item>\n"
        "<item><description>d</description><link>http://a/2</link><title a=\"1\">Two</title>"
        "</item>\n<item><title>Three</title><link>http://a/3</link><link>http://a/x</link></item>"
        "</channel></rss>";
    EXPECT_EQ(ReadFeedEntries(rss),
              (Entries{{u"One", ""}, {u"Two", "http://a/2"}, {u"Three", "http://a/3"}}));
    // RSS 1.0: items beside the channel, with attributes; the channel's list of items is no item.
    const std::string_view rdf =
        "<rdf:RDF><channel rdf:about=\"c\"><title>C</title><items><rdf:Seq>"
        "<rdf:li resource=\"http://r/1\"/></rdf:Seq></items></channel>"
        "<item rdf:about=\"http://r/1\"><title>R1</title><link>http://r/1</link></item>"
        "<item rdf:about=\"http://r/2\"><title>R2</title><link>http://r/2</link></item></rdf:RDF>";
    EXPECT_EQ(ReadFeedEntries(rdf), (Entries{{u"R1", "http://r/1"}, {u"R2", "http://r/2"}}));
}

TEST(FeedReader, AtomEntriesTakeTheFirstAlternateLinkAndNotTheirSourcesTitle) {
    const std::string_view atom =
        "<feed xmlns=\"http://www.w3.org/2005/Atom\"><title>Feed</title>"
        "<link href=\"http://f/\"/><entry><source><title>Other</title></source>"
        "<link rel=\"self\" href=\"http://e/self\"/><link rel='enclosure' href='http://e/mp3'/>"
        "<link href=\"http://e/1?a=1&amp;b=2\"/><link rel=\"alternate\" href=\"http://e/2\"/>"
        "<title type=\"text\">Entry &lt;1&gt;</title></entry>"
        "<entry><title>Two</title><link rel=\"alternate\" type=\"text/html\" href=\"http://e/3\">"
        "</link></entry></feed>";
    EXPECT_EQ(ReadFeedEntries(atom),
              (Entries{{u"Entry <1>", "http://e/1?a=1&b=2"}, {u"Two", "http://e/3"}}));
}

TEST(FeedReader, CdataEntitiesAndSpacesAreUndoneOnce) {
    const std::string_view rss =
        "<item><title>\n  <![CDATA[ Tom & Jerry &amp; <b>x</b> ]]>  \n</title>"
        "<link> <![CDATA[http://a/?x=1&y=2]]> </link></item>"
        "<item><title>It&apos;s &#8216;new&#8217; &quot;A&quot; &#xE9;&#233; &amp;amp; &bogus; "
        "&#0; &#xD800; &#1114112; &eacute;\r\nline</title>"
        "<link>http://a/?q=1&amp;r=&#x32;</link></item>"
        "<item><title> \t\r\n\v\f Two\r\n lines \v\f\r</title><link>\v http://a/3 \f</link></item>";
    EXPECT_EQ(ReadFeedEntries(rss),
              (Entries{{u"Tom & Jerry &amp; <b>x</b>", "http://a/?x=1&y=2"},
                       {u"It's \u2018new\u2019 \"A\" \u00E9\u00E9 &amp; &bogus; &#0; &#xD800; "
                        u"&#1114112; \u00E9\nline",
                        "http://a/?q=1&r=2"},
                       {u"Two\n lines", "http://a/3"}}));
}

TEST(FeedReader, HtmlAndXhtmlTitlesShowAsPlainText) {
    const std::string_view atom =
        "<entry><title type=\"html\">&lt;b&gt;Bold&lt;/b&gt; &amp;amp; caf&amp;eacute;&lt;br/&gt;"
        "next  &lt;script&gt;x()&lt;/script&gt;&lt;!-- c --&gt;a &lt; b</title></entry>"
        "<entry><title type=\"xhtml\"><div xmlns=\"http://www.w3.org/1999/xhtml\">\n  An "
        "<em>xhtml</em> &amp;lt;title&amp;gt;\n</div></title></entry>";
    EXPECT_EQ(ReadFeedEntries(atom),
              (Entries{{u"Bold & caf\u00E9 next a < b", ""}, {u"An xhtml &lt;title&gt;", ""}}));
}

TEST(FeedReader, WithoutTitleTheDescriptionStartsThenTheLinkAndWithNeitherNoRow) {
    const std::string description(100, 'd');
    const std::string rss = "<item><description>&lt;p&gt;" + description +
                            "&lt;/p&gt;</description></item>"
                            "<item><title>  </title><link>http://a/only-link</link></item>"
                            "<item><guid>g</guid><description> </description></item>"
                            "<item/><item><title>Last</title></item>";
    EXPECT_EQ(ReadFeedEntries(rss), (Entries{{std::u16string(80, u'd'), ""},
                                             {u"http://a/only-link", "http://a/only-link"},
                                             {u"Last", ""}}));
    // A link shown as the title is cut as titles are.
    const std::string longLink = "http://" + std::string(1100, 'l');
    EXPECT_EQ(ReadFeedEntries("<item><link>" + longLink + "</link></item>"),
              (Entries{{u"http://" + std::u16string(1017, u'l'), longLink}}));
    // Atom: summary before content.
    EXPECT_EQ(ReadFeedEntries("<entry><content>C</content><summary>S</summary></entry>"),
              (Entries{{u"S", ""}}));
}

TEST(FeedReader, NestedItemsCommentsAndCdataHideNoAndMakeNoRows) {
    const std::string_view rss =
        "<!-- <item><title>Commented</title></item> -->"
        "<item><title>A</title><item><title>Inner</title></item><link>http://a</link></item>"
        "<item><description><![CDATA[<item><title>In CDATA</title></item>]]></description>"
        "<title>B</title></item><items><title>Not</title></items>";
    EXPECT_EQ(ReadFeedEntries(rss), (Entries{{u"A", "http://a"}, {u"B", ""}}));
}

TEST(FeedReader, LongTitlesAreCutWithoutHalvingACharacter) {
    std::string title(1023, 'x');
    title += "\xF0\x9F\x98\x80\xF0\x9F\x98\x80"; // two characters beyond the BMP
    const auto entries = ReadFeedEntries("<item><title>" + title + "</title></item>");
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].title, std::u16string(1023, u'x') + u"\U0001F600");
}

TEST(FeedReader, BrokenFeedsListWhatTheyHold) {
    // Cut off inside an item, inside a tag, with a bare '<', an unclosed CDATA section, and an
    // RSS with prefixed names.
    EXPECT_EQ(ReadFeedEntries("<item><title>A</title><link>http://a</link></item><item><title>B"),
              (Entries{{u"A", "http://a"}, {u"B", ""}}));
    EXPECT_EQ(ReadFeedEntries("<item><title>A & 1 < 2</title></item><item><title>B</title></item>"
                              "<item><title"),
              (Entries{{u"A & 1 < 2", ""}, {u"B", ""}}));
    EXPECT_EQ(ReadFeedEntries("<item><title><![CDATA[Open</title></item><item><title>C</title>"),
              (Entries{{u"Open", ""}, {u"C", ""}}));
    EXPECT_EQ(ReadFeedEntries("<rss:item><rss:title>P</rss:title><atom:link href='x'/>"
                              "<rss:link>http://p</rss:link></rss:item>"),
              (Entries{{u"P", "http://p"}}));
    EXPECT_EQ(ReadFeedEntries(""), (Entries{}));
    EXPECT_EQ(ReadFeedEntries("<html><body>Not found</body></html>"), (Entries{}));
}

TEST(FeedReader, HasNoLimitOnTheNumberOfItems) {
    std::string text;
    for (int i = 0; i < 20000; ++i) {
        text += "<item><title>t" + std::to_string(i) + "</title><link>l</link></item>";
    }
    const auto entries = ReadFeedEntries(text);
    ASSERT_EQ(entries.size(), 20000u);
    EXPECT_EQ(entries.back().title, u"t19999");
}

} // namespace
