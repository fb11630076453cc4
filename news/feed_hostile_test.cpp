// Feeds from careless or hostile servers: every item is kept whatever stray markup it holds, and
// no input costs more than time in proportion to its size.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "news/content_coding.h"
#include "news/feed_entries.h"
#include "news/feed_markup.h"
#include "news/hostile_inputs.h"
#include "news/news_link.h"
#include "text/code_pages.h"
#include "text/unicode.h"

namespace {

using qv::FeedEntry;
using qv::ReadFeedEntries;
using Entries = std::vector<FeedEntry>;
using namespace std::string_literals;
using qv::testing::EmptyFixedBlocks;
using qv::testing::Repeated;

constexpr size_t kHostileBytes = size_t(4) << 20;
// Over ten times what reading 4 MB of any of them takes with the sanitizers on a quiet machine (up
// to about 2 s), so that a busy one never fails; far below the minutes to hours a scan takes that
// looks at the rest of the text again for each piece.
constexpr auto kGenerous = std::chrono::seconds(30);

template <typename Read> auto Timed(Read read, std::chrono::duration<double>& took) {
    const auto start = std::chrono::steady_clock::now();
    auto result = read();
    took = std::chrono::steady_clock::now() - start;
    return result;
}

TEST(HostileFeeds, UnclosedSectionsAndHiddenElementsReadInLinearTime) {
    const std::string first = "<rss><channel><item><title>a</title></item>";
    const std::string last = "<item><title>z</title></item></channel></rss>";
    struct Case {
        const char* kind;
        std::string feed;
        Entries rows;
    };
    const std::vector<Case> cases = {
        // A section left open reads as text: the tags after it still count.
        {"comments", first + Repeated("<!--", kHostileBytes) + last, {{u"a", ""}, {u"z", ""}}},
        {"CDATA", first + Repeated("<![CDATA[", kHostileBytes) + last, {{u"a", ""}, {u"z", ""}}},
        {"instructions", first + Repeated("<?", kHostileBytes), {{u"a", ""}}},
        {"declarations", first + Repeated("<!x", kHostileBytes), {{u"a", ""}}},
        {"scripts",
         "<entry><title type=\"html\">" +
             Repeated("&lt;SCRIPT&gt;x()&lt;/Script&gt;&lt;style&gt;p{}&lt;/STYLE&gt;",
                      kHostileBytes) +
             "Shown</title></entry>",
         {{u"Shown", ""}}},
        {"unclosed styles",
         "<entry><title type=\"html\">Shown" + Repeated("&lt;style&gt;", kHostileBytes) +
             "</title></entry>",
         {{u"Shown", ""}}},
        {"deep HTML",
         first + "<item><description>" + Repeated("<p><b>", kHostileBytes) +
             "</description><link>http://d/</link></item>" + last,
         {{u"a", ""}, {u"http://d/", "http://d/"}, {u"z", ""}}},
        {"unclosed title",
         "<item><title>t" + Repeated("<br>", kHostileBytes) + "</item>" + last,
         {{u"t", ""}, {u"z", ""}}},
    };
    for (const Case& c : cases) {
        std::chrono::duration<double> took{};
        EXPECT_EQ(Timed([&] { return ReadFeedEntries(c.feed); }, took), c.rows) << c.kind;
        EXPECT_LT(took, kGenerous) << c.kind;
    }
}

// Each relative link copies its base: 5,000 of them under a 1 MB base would make 5 GB of rows.
// Past what the feed's own size pays for, links stay as they are.
TEST(HostileFeeds, RelativeLinksUnderAHugeBaseCostNoMoreThanTheFeedsSize) {
    const std::string base = "http://site.example/" + std::string(size_t(1) << 20, 'p') + "/";
    std::string feed = "<rss><channel><link>" + base + "</link>";
    for (int i = 0; i < 5000; ++i) {
        feed += "<item><title>t</title><link>x</link></item>";
    }
    std::chrono::duration<double> took{};
    const Entries rows = Timed([&] { return ReadFeedEntries(feed + "</channel></rss>"); }, took);
    EXPECT_LT(took, kGenerous);
    ASSERT_EQ(rows.size(), 5000u);
    EXPECT_EQ(rows.front().link, base + "x");
    EXPECT_EQ(rows.back().link, "x");
    // The same under the feed's xml:base, each entry with one of its own.
    std::string atom = "<feed xml:base=\"" + base + "\">";
    for (int i = 0; i < 5000; ++i) {
        atom += "<entry xml:base=\"a/\"><title>t</title><link href=\"x\"/></entry>";
    }
    const Entries entries = Timed([&] { return ReadFeedEntries(atom + "</feed>"); }, took);
    EXPECT_LT(took, kGenerous);
    ASSERT_EQ(entries.size(), 5000u);
    EXPECT_EQ(entries.back().link, "x");
}

// Raw deflate as a server writes it when it flushes after every line: each line a stored block,
// followed by an empty one.
std::string FlushedLines(int lines, std::string_view line) {
    std::string stream;
    const auto length = uint16_t(line.size());
    for (int i = 0; i < lines; ++i) {
        stream += {'\0', char(length & 0xFF), char(length >> 8), char(~length & 0xFF),
                   char(~length >> 8)};
        stream += line;
        stream += "\0\0\0\xFF\xFF"s;
    }
    return stream + "\x01\0\0\xFF\xFF"s;
}

TEST(HostileFeeds, FloodsOfEmptyDeflateBlocksAreRefusedAtOnceAndFlushedStreamsInflate) {
    constexpr size_t kMax = size_t(16) << 20;
    std::chrono::duration<double> took{};
    EXPECT_EQ(Timed(
                  [&] {
                      return qv::DecodeContent(EmptyFixedBlocks(kHostileBytes, "x"), "deflate",
                                               kMax);
                  },
                  took),
              std::nullopt);
    EXPECT_LT(took, kGenerous);
    // An empty gzip member: its header, a last empty fixed-code block, CRC and length 0.
    const std::string emptyMember = "\x1F\x8B\x08\0\0\0\0\0\0\xFF\x03\0\0\0\0\0\0\0\0\0"s;
    EXPECT_EQ(qv::DecodeContent(emptyMember, "gzip", kMax), "");
    EXPECT_EQ(qv::DecodeContent(Repeated(emptyMember, kHostileBytes), "gzip", kMax), std::nullopt);
    const std::string emptyStored = "\0\0\0\xFF\xFF"s;
    EXPECT_EQ(qv::DecodeContent(Repeated(emptyStored, kHostileBytes) + "\x01\0\0\xFF\xFF"s,
                                "deflate", kMax),
              std::nullopt);
    // The bound from both sides: 1,024 blocks before any output are read, one more is not.
    const auto emptyThenLast = [&](size_t empty) {
        return Repeated(emptyStored, empty * emptyStored.size()) + "\x01\x06\0\xF9\xFF<rss/>"s;
    };
    EXPECT_EQ(qv::DecodeContent(emptyThenLast(1023), "deflate", kMax), "<rss/>");
    EXPECT_EQ(qv::DecodeContent(emptyThenLast(1024), "deflate", kMax), std::nullopt);
    // A few empty blocks, as encoders write them, are no flood.
    EXPECT_EQ(qv::DecodeContent(EmptyFixedBlocks(125, "<rss/>"), "deflate", kMax), "<rss/>");
    const std::string line = "<item><title>A line of news</title></item>\n";
    EXPECT_EQ(qv::DecodeContent(FlushedLines(20000, line), "deflate", kMax),
              Repeated(line, 20000 * line.size()));
}

TEST(FeedItems, StrayHtmlInAnItemNeverSwallowsTheItemsAfterIt) {
    const std::string rss =
        "<rss><channel><item><title>One</title><description><p>x<br>y</p><img src=\"i.png\">"
        "<hr></description><link>http://a/1</link></item>"
        "<item><description>Two <b>bold, never closed</description><link>http://a/2</link>"
        "</item><item><title>Three</title><link>http://a/3</link><description><ul><li>open"
        "</item><item><title>Four</title><link>http://a/4</link></item></channel></rss>";
    EXPECT_EQ(ReadFeedEntries(rss), (Entries{{u"One", "http://a/1"},
                                             {u"Two bold, never closed", "http://a/2"},
                                             {u"Three", "http://a/3"},
                                             {u"Four", "http://a/4"}}));
}

TEST(FeedItems, PermalinkGuidsAndDublinCoreTitlesServeItemsWithoutTheirOwn) {
    const std::string rss =
        "<rss xmlns:dc=\"http://purl.org/dc/elements/1.1/\"><channel>"
        "<item><guid>http://g/1</guid><title>Absent</title></item>"
        "<item><guid isPermaLink=\"true\">http://g/2</guid></item>"
        "<item><title>False</title><guid isPermaLink=\"FALSE\">http://g/3</guid></item>"
        "<item><title>Link first</title><link>http://l/4</link><guid>http://g/4</guid></item>"
        "<item><title>Not an address</title><guid>1234</guid></item>"
        "<item><dc:title>Dublin Core</dc:title><link>http://l/6</link></item>"
        "<item><title>Own</title><dc:title>Not this</dc:title></item>"
        "</channel></rss>";
    EXPECT_EQ(ReadFeedEntries(rss), (Entries{{u"Absent", "http://g/1"},
                                             {u"http://g/2", "http://g/2"},
                                             {u"False", ""},
                                             {u"Link first", "http://l/4"},
                                             {u"Not an address", ""},
                                             {u"Dublin Core", "http://l/6"},
                                             {u"Own", ""}}));
}

std::vector<std::string> Links(const Entries& entries) {
    std::vector<std::string> links;
    for (const FeedEntry& entry : entries) {
        links.push_back(entry.link);
    }
    return links;
}

TEST(FeedItems, RelativeLinksResolveAgainstXmlBaseThenTheFeedsLinkThenItsAddress) {
    const std::string rss = "<rss><channel><title>C</title><link>http://site.example/news/</link>"
                            "<item><title>1</title><link>/2026/12/story.html</link></item>"
                            "<item><title>2</title><link>story.html?x=1&amp;y=2</link></item>"
                            "<item><title>3</title><link>https://other.example/a</link></item>"
                            "<item><title>4</title><link>../up#frag</link></item>"
                            "<item><title>5</title><link>//cdn.example/p</link></item>"
                            "<item><title>6</title></item></channel></rss>";
    const std::vector<std::string> fromChannel = {"http://site.example/2026/12/story.html",
                                                  "http://site.example/news/story.html?x=1&y=2",
                                                  "https://other.example/a",
                                                  "http://site.example/up#frag",
                                                  "http://cdn.example/p",
                                                  ""};
    EXPECT_EQ(Links(ReadFeedEntries(rss, {}, "http://feeds.example/rss.xml")), fromChannel);
    // Without a channel link, the feed's own address.
    EXPECT_EQ(Links(ReadFeedEntries("<item><title>t</title><link>a/b.html</link></item>", {},
                                    "https://feeds.example/x/rss.xml")),
              (std::vector<std::string>{"https://feeds.example/x/a/b.html"}));
    // Atom's own link is its alternate one, not the address of the feed itself.
    EXPECT_EQ(Links(ReadFeedEntries("<feed><link rel=\"self\" href=\"http://self.example/f\"/>"
                                    "<link href=\"http://alt.example/a/\"/><entry><title>t</title>"
                                    "<link href=\"p\"/></entry></feed>")),
              (std::vector<std::string>{"http://alt.example/a/p"}));
    // Without either, a relative link stays as written (and opens nothing).
    EXPECT_EQ(Links(ReadFeedEntries("<item><title>t</title><link>a/b.html</link></item>")),
              (std::vector<std::string>{"a/b.html"}));
    // Atom: xml:base of the feed, of the entry (relative to the feed's), of the link itself.
    const std::string atom =
        "<feed xmlns=\"http://www.w3.org/2005/Atom\" xml:base=\"http://base.example/blog/\">"
        "<link href=\"http://alternate.example/\"/>"
        "<entry><title>1</title><link href=\"p/1\"/></entry>"
        "<entry xml:base=\"2026/\"><title>2</title><link href=\"p/2\"/></entry>"
        "<entry><title>3</title><link xml:base=\"http://own.example/x/\" href=\"p/3\"/></entry>"
        "</feed>";
    EXPECT_EQ(Links(ReadFeedEntries(atom, {}, "http://feeds.example/atom")),
              (std::vector<std::string>{"http://base.example/blog/p/1",
                                        "http://base.example/blog/2026/p/2",
                                        "http://own.example/x/p/3"}));
}

// RFC 3986, section 5.4: the normal and the abnormal examples against its base.
TEST(FeedItems, LinksResolveAsTheAddressStandardSays) {
    const std::string_view base = "http://a/b/c/d;p?q";
    const std::pair<std::string_view, std::string_view> examples[] = {
        {"g:h", "g:h"},
        {"g", "http://a/b/c/g"},
        {"./g", "http://a/b/c/g"},
        {"g/", "http://a/b/c/g/"},
        {"/g", "http://a/g"},
        {"//g", "http://g"},
        {"?y", "http://a/b/c/d;p?y"},
        {"g?y", "http://a/b/c/g?y"},
        {"#s", "http://a/b/c/d;p?q#s"},
        {"g#s", "http://a/b/c/g#s"},
        {";x", "http://a/b/c/;x"},
        {".", "http://a/b/c/"},
        {"..", "http://a/b/"},
        {"../g", "http://a/b/g"},
        {"../..", "http://a/"},
        {"../../g", "http://a/g"},
        {"../../../g", "http://a/g"},
        {"/./g", "http://a/g"},
        {"/../g", "http://a/g"},
        {"g.", "http://a/b/c/g."},
        {"..g", "http://a/b/c/..g"},
        {"./../g", "http://a/b/g"},
        {"g/./h", "http://a/b/c/g/h"},
        {"g/../h", "http://a/b/c/h"},
        {"g;x=1/../y", "http://a/b/c/y"},
        {"g?y/./x", "http://a/b/c/g?y/./x"},
        {"g#s/../x", "http://a/b/c/g#s/../x"},
        {"java\tscript:alert(1)", "java\tscript:alert(1)"},
    };
    for (const auto& [link, resolved] : examples) {
        EXPECT_EQ(qv::ResolveNewsLink(base, link), resolved) << link;
    }
    EXPECT_EQ(qv::ResolveNewsLink("http://site.example", "x.html"), "http://site.example/x.html");
    EXPECT_EQ(qv::ResolveNewsLink("", "x.html"), "x.html");
    EXPECT_EQ(qv::ResolveNewsLink("http://site.example/", ""), "");
}

} // namespace
