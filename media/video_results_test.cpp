#include "media/video_results.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using qv::ScanResultsPage;
using qv::ShortenRow;
using qv::VideoResult;

const std::string kMarker = "<a class=\"newvtitlelink\" href=\"/watch?v=";

// One result as the site marks it up: the link's opening tag, the title and its end marker.
std::string Result(const std::string& id, const std::string& title) {
    return "<div>" + kMarker + id + "&amp;feature=results\" rel=\"nofollow\">" + title +
           "</a><br/><span>3:12</span></div>\n";
}

std::vector<std::string> Rows(const std::vector<VideoResult>& results) {
    std::vector<std::string> rows;
    for (const VideoResult& result : results) {
        rows.push_back(result.row);
    }
    return rows;
}

TEST(ResultsPageUrl, EncodesTheQueryAsUtf8AndNamesThePage) {
    EXPECT_EQ(qv::ResultsPageUrl("cats", 1),
              "http://www.youtube.com/results?search_query=cats&search=Search&page=1");
    EXPECT_EQ(qv::ResultsPageUrl("rock & roll #1 + 100% a-b_c.d~e", 2),
              "http://www.youtube.com/results?search_query=rock%20%26%20roll%20%231%20%2B%20100%25"
              "%20a-b_c.d~e&search=Search&page=2");
    EXPECT_EQ(
        qv::ResultsPageUrl("caf\xC3\xA9/?=", 12),
        "http://www.youtube.com/results?search_query=caf%C3%A9%2F%3F%3D&search=Search&page=12");
}

TEST(EmbedLink, IsTheSameHostWithTheVideoId) {
    EXPECT_EQ(qv::EmbedLink("dQw4w9WgXcQ"), "http://www.youtube.com/v/dQw4w9WgXcQ");
}

TEST(ScanResultsPage, NumbersEveryResultFromOneWithItsEmbedLink) {
    const std::string page = "<html>" + Result("AAAAAAAAAAA", "First clip") +
                             Result("BBBBBBBBBBB", "Second") + Result("CCCCCCCCCCC", "") +
                             "</html>";
    const auto results = ScanResultsPage(page);
    EXPECT_EQ(Rows(results), (std::vector<std::string>{"1. First clip", "2. Second", "3. "}));
    ASSERT_EQ(results.size(), 3u);
    EXPECT_EQ(results[0].link, "http://www.youtube.com/v/AAAAAAAAAAA");
    EXPECT_EQ(results[2].link, "http://www.youtube.com/v/CCCCCCCCCCC");
    EXPECT_TRUE(ScanResultsPage("<html>no results</html>").empty());
    EXPECT_TRUE(ScanResultsPage("").empty());
}

TEST(ScanResultsPage, RemovesBoldAndEveryOtherOpeningBracketButKeepsTheRestOfATag) {
    const auto results =
        ScanResultsPage(Result("AAAAAAAAAAA", "<b>Cats</b> on a <span class=\"x\">piano</span>"));
    EXPECT_EQ(Rows(results),
              (std::vector<std::string>{"1. Cats on a span class=\"x\">pianospan>"}));
}

TEST(ScanResultsPage, AnAnchorInsideATitleLosesItsClosingTagWhole) {
    const auto results = ScanResultsPage(Result("AAAAAAAAAAA", "Live <a href=\"/c\">here</a> now"));
    EXPECT_EQ(Rows(results), (std::vector<std::string>{"1. Live a href=\"/c\">here now"}));
}

TEST(ScanResultsPage, DecodesTheApostropheAndThenTheAmpersandEntityOnly) {
    const auto results = ScanResultsPage(Result("AAAAAAAAAAA", "Rock &amp; Roll&#39;s &lt;3") +
                                         Result("BBBBBBBBBBB", "It&amp;#39;s"));
    EXPECT_EQ(Rows(results), (std::vector<std::string>{"1. Rock & Roll's &lt;3", "2. It&#39;s"}));
}

TEST(ScanResultsPage, AResultWithoutItsEndMarkerHasNoTitleAndEndsTheScan) {
    const std::string page = Result("AAAAAAAAAAA", "Whole") + kMarker +
                             "BBBBBBBBBBB\">Cut off</a>" + Result("CCCCCCCCCCC", "Never seen");
    // The third marker lies inside the second's title, which runs to the third's end marker.
    EXPECT_EQ(Rows(ScanResultsPage(page)).size(), 2u);

    const auto cut =
        ScanResultsPage(Result("AAAAAAAAAAA", "Whole") + kMarker + "BBBBBBBBBBB\">Cut");
    EXPECT_EQ(Rows(cut), (std::vector<std::string>{"1. Whole", "2. "}));
    EXPECT_EQ(cut[1].link, "http://www.youtube.com/v/BBBBBBBBBBB");

    const auto noTagEnd = ScanResultsPage(kMarker + "XYZ");
    EXPECT_EQ(Rows(noTagEnd), (std::vector<std::string>{"1. "}));
    EXPECT_EQ(noTagEnd[0].link, "http://www.youtube.com/v/XYZ"); // fewer than 11 at the end
}

TEST(ScanResultsPage, TheNextScanStartsAtTheEndMarker) {
    // A marker between a title's end and the next one is still found.
    const std::string page =
        kMarker + "AAAAAAAAAAA\">One</a><br/>" + kMarker + "BBBBBBBBBBB\">Two</a><br/>";
    EXPECT_EQ(Rows(ScanResultsPage(page)), (std::vector<std::string>{"1. One", "2. Two"}));
}

std::u16string Units(const std::string& ascii) {
    return std::u16string(ascii.begin(), ascii.end());
}

TEST(ShortenRow, KeepsUpTo24CharactersAndShortensLongerRowsToHeadDotsTail) {
    EXPECT_EQ(ShortenRow(Units("1. abcdefghijklmnopqrstu")), Units("1. abcdefghijklmnopqrstu"));
    EXPECT_EQ(ShortenRow(Units("1. abcdefghijklmnopqrstuv")), Units("1. abcdefg..ijklmnopqrstuv"));
    // 32 characters: the first 10, two dots, the last 14.
    EXPECT_EQ(ShortenRow(Units("12. The quick brown fox jumps!!!")),
              Units("12. The qu..n fox jumps!!!"));
}

TEST(ShortenRow, NeverCutsASurrogatePairInHalf) {
    const std::u16string clef = u"\U0001D11E"; // two UTF-16 units
    // The 10th unit opens a pair: the head keeps the whole pair.
    const std::u16string head = Units("1. abcdef") + clef + Units("0123456789ABCDEFGH");
    EXPECT_EQ(ShortenRow(head), Units("1. abcdef") + clef + Units("..456789ABCDEFGH"));
    // The tail would begin with the pair's second unit: it takes the whole pair.
    const std::u16string tail = Units("1. abcdefghijklmnop") + clef + Units("0123456789ABC");
    EXPECT_EQ(ShortenRow(tail), Units("1. abcdefg..") + clef + Units("0123456789ABC"));
}

TEST(PageIsUtf8, FollowsTheContentTypeCharsetAndTakesUtf8WhenThereIsNone) {
    EXPECT_TRUE(
        qv::PageIsUtf8("HTTP/1.1 200 OK\r\nContent-Type: text/html; charset=utf-8\r\n\r\n"));
    EXPECT_TRUE(
        qv::PageIsUtf8("HTTP/1.1 200 OK\r\ncontent-type: text/html; Charset=\"UTF-8\"\r\n"));
    EXPECT_TRUE(qv::PageIsUtf8("HTTP/1.1 200 OK\r\nContent-Type: text/html\r\n\r\n"));
    EXPECT_TRUE(qv::PageIsUtf8(""));
    EXPECT_FALSE(
        qv::PageIsUtf8("HTTP/1.1 200 OK\r\nContent-Type: text/html; charset=ISO-8859-1\r\n"));
    EXPECT_FALSE(
        qv::PageIsUtf8("HTTP/1.1 200 OK\r\nX-Note: charset=utf-8\r\nContent-Type: text/html; "
                       "charset=windows-1252\r\n"));
}

} // namespace
