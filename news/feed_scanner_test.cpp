#include "news/feed_entries.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "news/feed_markup.h"
#include "text/code_pages.h"
#include "text/unicode.h"

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

// Every named character of HTML 4 (and XML's apos), as the W3C lists them, and character
// references on both sides of each range they may not name.
TEST(FeedMarkup, NamedCharactersAndReferencesReadAsTheCharactersTheyName) {
    std::istringstream named(
        "AElig C6 Aacute C1 Acirc C2 Agrave C0 Alpha 391 Aring C5 Atilde C3 Auml C4 Beta 392 "
        "Ccedil C7 Chi 3A7 Dagger 2021 Delta 394 ETH D0 Eacute C9 Ecirc CA Egrave C8 Epsilon 395 "
        "Eta 397 Euml CB Gamma 393 Iacute CD Icirc CE Igrave CC Iota 399 Iuml CF Kappa 39A "
        "Lambda 39B Mu 39C Ntilde D1 Nu 39D OElig 152 Oacute D3 Ocirc D4 Ograve D2 Omega 3A9 "
        "Omicron 39F Oslash D8 Otilde D5 Ouml D6 Phi 3A6 Pi 3A0 Prime 2033 Psi 3A8 Rho 3A1 "
        "Scaron 160 Sigma 3A3 THORN DE Tau 3A4 Theta 398 Uacute DA Ucirc DB Ugrave D9 "
        "Upsilon 3A5 Uuml DC Xi 39E Yacute DD Yuml 178 Zeta 396 aacute E1 acirc E2 acute B4 "
        "aelig E6 agrave E0 alefsym 2135 alpha 3B1 amp 26 and 2227 ang 2220 apos 27 aring E5 "
        "asymp 2248 atilde E3 auml E4 bdquo 201E beta 3B2 brvbar A6 bull 2022 cap 2229 ccedil E7 "
        "cedil B8 cent A2 chi 3C7 circ 2C6 clubs 2663 cong 2245 copy A9 crarr 21B5 cup 222A "
        "curren A4 dArr 21D3 dagger 2020 darr 2193 deg B0 delta 3B4 diams 2666 divide F7 "
        "eacute E9 ecirc EA egrave E8 empty 2205 emsp 2003 ensp 2002 epsilon 3B5 equiv 2261 "
        "eta 3B7 eth F0 euml EB euro 20AC exist 2203 fnof 192 forall 2200 frac12 BD frac14 BC "
        "frac34 BE frasl 2044 gamma 3B3 ge 2265 gt 3E hArr 21D4 harr 2194 hearts 2665 "
        "hellip 2026 iacute ED icirc EE iexcl A1 igrave EC image 2111 infin 221E int 222B "
        "iota 3B9 iquest BF isin 2208 iuml EF kappa 3BA lArr 21D0 lambda 3BB lang 2329 laquo AB "
        "larr 2190 lceil 2308 ldquo 201C le 2264 lfloor 230A lowast 2217 loz 25CA lrm 200E "
        "lsaquo 2039 lsquo 2018 lt 3C macr AF mdash 2014 micro B5 middot B7 minus 2212 mu 3BC "
        "nabla 2207 nbsp A0 ndash 2013 ne 2260 ni 220B not AC notin 2209 nsub 2284 ntilde F1 "
        "nu 3BD oacute F3 ocirc F4 oelig 153 ograve F2 oline 203E omega 3C9 omicron 3BF "
        "oplus 2295 or 2228 ordf AA ordm BA oslash F8 otilde F5 otimes 2297 ouml F6 para B6 "
        "part 2202 permil 2030 perp 22A5 phi 3C6 pi 3C0 piv 3D6 plusmn B1 pound A3 prime 2032 "
        "prod 220F prop 221D psi 3C8 quot 22 rArr 21D2 radic 221A rang 232A raquo BB rarr 2192 "
        "rceil 2309 rdquo 201D real 211C reg AE rfloor 230B rho 3C1 rlm 200F rsaquo 203A "
        "rsquo 2019 sbquo 201A scaron 161 sdot 22C5 sect A7 shy AD sigma 3C3 sigmaf 3C2 sim 223C "
        "spades 2660 sub 2282 sube 2286 sum 2211 sup 2283 sup1 B9 sup2 B2 sup3 B3 supe 2287 "
        "szlig DF tau 3C4 there4 2234 theta 3B8 thetasym 3D1 thinsp 2009 thorn FE tilde 2DC "
        "times D7 trade 2122 uArr 21D1 uacute FA uarr 2191 ucirc FB ugrave F9 uml A8 upsih 3D2 "
        "upsilon 3C5 uuml FC weierp 2118 xi 3BE yacute FD yen A5 yuml FF zeta 3B6 zwj 200D "
        "zwnj 200C ");
    std::string name;
    unsigned value = 0;
    int count = 0;
    while (named >> name >> std::hex >> value) {
        const std::string reference = "&" + name + ";";
        const qv::Reference read = qv::ReadReference(reference);
        EXPECT_EQ(read.c, char32_t(value)) << reference;
        EXPECT_EQ(read.length, reference.size()) << reference;
        ++count;
    }
    EXPECT_EQ(count, 253);
    for (const auto& [reference, c] :
         std::vector<std::pair<std::string, char32_t>>{{"&#xD7FF;", 0xD7FF},
                                                       {"&#xD800;", 0},
                                                       {"&#xDFFF;", 0},
                                                       {"&#xE000;", 0xE000},
                                                       {"&#x10FFFF;", 0x10FFFF},
                                                       {"&#x110000;", 0},
                                                       {"&#1;", 1},
                                                       {"&#0;", 0}}) {
        EXPECT_EQ(qv::ReadReference(reference).c, c) << reference;
        EXPECT_EQ(qv::ReadReference(reference).length, c ? reference.size() : 0) << reference;
    }
}

} // namespace
