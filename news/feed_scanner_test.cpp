#include "news/feed_scanner.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace qv {
void PrintTo(const FeedItem& item, std::ostream* out) {
    *out << '{' << ::testing::PrintToString(std::string(item.title)) << ", "
         << ::testing::PrintToString(std::string(item.link)) << '}';
}
} // namespace qv

namespace {

using qv::FeedItem;
using qv::NumberedNewsLine;
using qv::ScanFeedItems;

std::vector<std::string> Lines(std::string_view text) {
    std::vector<std::string> lines;
    int k = 1;
    for (const FeedItem& item : ScanFeedItems(text)) {
        lines.push_back(NumberedNewsLine(k++, item.title));
    }
    return lines;
}

std::vector<std::string> Links(std::string_view text) {
    std::vector<std::string> links;
    for (const FeedItem& item : ScanFeedItems(text)) {
        links.emplace_back(item.link);
    }
    return links;
}

constexpr std::string_view kThreeItems =
    "<?xml version=\"1.0\"?><rss><channel><title>Channel</title><link>http://c/</link>"
    "<item><title>One</title><link>http://a/1</link></item>\n"
    "<item><title>Two</title><description>d</description><link>http://a/2</link></item>\n"
    "<item><link>http://a/3-first</link><title>Three</title><link>http://a/3</link></item>"
    "</channel></rss>";

TEST(FeedScanner, ListsItemsNumberedInFileOrderWithoutTheChannel) {
    EXPECT_EQ(Lines(kThreeItems), (std::vector<std::string>{"1. One", "2. Two", "3. Three"}));
    // The third item's link before its title is skipped: the scanner looks for a link only
    // after the title.
    EXPECT_EQ(Links(kThreeItems),
              (std::vector<std::string>{"http://a/1", "http://a/2", "http://a/3"}));
}

TEST(FeedScanner, NothingBeforeTheFirstItemTagAndNoItemTagNoRows) {
    EXPECT_TRUE(ScanFeedItems("<title>A</title><link>l</link>").empty());
    EXPECT_TRUE(ScanFeedItems("").empty());
    EXPECT_TRUE(ScanFeedItems("<feed><entry><title>Atom</title></entry></feed>").empty());
    EXPECT_TRUE(ScanFeedItems("<html><body>Not found</body></html>").empty());
    // Item tags are searched once: later titles need no item around them.
    EXPECT_EQ(Lines("<item></item><title>A</title><link>a</link><title>B</title><link>b</link>"),
              (std::vector<std::string>{"1. A", "2. B"}));
}

TEST(FeedScanner, AnItemWithoutLinkTakesTheNextLinkAndTheNextTitleIsSkipped) {
    const std::string_view text = "<item><title>A</title></item>"
                                  "<item><title>B</title><link>b</link></item>"
                                  "<item><title>C</title><link>c</link></item>";
    EXPECT_EQ(Lines(text), (std::vector<std::string>{"1. A", "2. C"}));
    EXPECT_EQ(Links(text), (std::vector<std::string>{"b", "c"}));
}

TEST(FeedScanner, AMissingClosingOrLinkTagEndsTheScanAfterTheItem) {
    // No "</title>": empty title, no link, and nothing after.
    EXPECT_EQ(ScanFeedItems("<item><title>A<link>a</link><item><title>B<link>b</link>"),
              (std::vector<FeedItem>{{"", ""}}));
    // Closing tags are searched without regard to items: the next one anywhere closes.
    EXPECT_EQ(ScanFeedItems("<item><title>A<item><title>B</title><link>b</link>"),
              (std::vector<FeedItem>{{"A<item><title>B", "b"}}));
    // No "<link>" after the title.
    EXPECT_EQ(ScanFeedItems("<item><title>A</title><item><title>B</title>"),
              (std::vector<FeedItem>{{"A", ""}}));
    // No "</link>".
    EXPECT_EQ(ScanFeedItems("<item><title>A</title><link>a<item><title>B</title><link>b"),
              (std::vector<FeedItem>{{"A", ""}}));
    // A "<title>" at the very end of the text.
    EXPECT_EQ(ScanFeedItems("<item><title>"), (std::vector<FeedItem>{{"", ""}}));
}

TEST(FeedScanner, TrimsBothEndsOfTitleAndLinkButKeepsInnerBreaks) {
    const std::string_view text = "<item><title> \t\r\n Two\r\n lines \v\f</title>"
                                  "<link>\n  http://a/x?y=1&amp;z=2  \n</link>";
    EXPECT_EQ(ScanFeedItems(text),
              (std::vector<FeedItem>{{"Two\r\n lines", "http://a/x?y=1&amp;z=2"}}));
    EXPECT_EQ(ScanFeedItems("<item><title>   </title><link></link>"),
              (std::vector<FeedItem>{{"", ""}}));
}

TEST(FeedScanner, TagsAreMatchedExactlyAndCaseSensitively) {
    // A title with attributes is not recognised, so the next plain one is taken.
    EXPECT_EQ(Lines("<item><title type=\"html\">X</title><link>x</link>"
                    "<item><title>Y</title><link>y</link>"),
              (std::vector<std::string>{"1. Y"}));
    EXPECT_TRUE(ScanFeedItems("<ITEM><title>A</title><link>a</link>").empty());
    EXPECT_EQ(Lines("<item><Title>A</Title><title>B</title><link>b</link>"),
              (std::vector<std::string>{"1. B"}));
}

TEST(FeedScanner, CdataAndOtherEntitiesStayAsWrittenInTitles) {
    EXPECT_EQ(Lines("<item><title><![CDATA[Tom & Jerry]]></title><link>l</link>"),
              (std::vector<std::string>{"1. <![CDATA[Tom & Jerry]]>"}));
    EXPECT_EQ(Lines("<item><title>A &amp; B &quot;C&quot; &#233; <b>x</b></title><link>l</link>"),
              (std::vector<std::string>{"1. A &amp; B &quot;C&quot; &#233; <b>x</b>"}));
}

TEST(FeedScanner, ApostropheEntitiesBecomeApostrophesInTheLineOnly) {
    const std::string_view text =
        "<item><title>It&apos;s &#8216;new&#8217; &#8217&apos&amp;apos;</title>"
        "<link>http://a/?q=it&apos;s</link>";
    EXPECT_EQ(Lines(text), (std::vector<std::string>{"1. It's 'new' &#8217&apos&amp;apos;"}));
    EXPECT_EQ(Links(text), (std::vector<std::string>{"http://a/?q=it&apos;s"}));
    EXPECT_EQ(NumberedNewsLine(12, "&apos;&apos;&#8216;"), "12. '''");
    EXPECT_EQ(NumberedNewsLine(3, "&&apos;#8217;"), "3. &'#8217;");
}

TEST(FeedScanner, HasNoLimitOnTheNumberOfItems) {
    std::string text;
    for (int i = 0; i < 20000; ++i) {
        text += "<item><title>t" + std::to_string(i) + "</title><link>l</link></item>";
    }
    const auto items = ScanFeedItems(text);
    ASSERT_EQ(items.size(), 20000u);
    EXPECT_EQ(items.back().title, "t19999");
}

TEST(FeedScanner, FindsTagsAtTheVeryEdgesOfTheText) {
    EXPECT_EQ(qv::FindInFeed("<item>", "<item>", 0), 0u);
    EXPECT_EQ(qv::FindInFeed("<<item", "<item>", 0), std::string_view::npos);
    EXPECT_EQ(qv::FindInFeed("x<item>", "<item>", 1), 1u);
    EXPECT_EQ(qv::FindInFeed("x<item>", "<item>", 2), std::string_view::npos);
    EXPECT_EQ(qv::FindInFeed("<", "<item>", 0), std::string_view::npos);
    EXPECT_EQ(qv::FindInFeed("<item>", "<item>", 99), std::string_view::npos);
}

} // namespace
