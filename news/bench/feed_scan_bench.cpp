// Not a test: the feed scanner's speed on a large feed, natively, against expat parsing the same
// bytes. Build it optimised (see README) and run it by hand.
#include <expat.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "news/content_coding.h"
#include "news/feed_encoding.h"
#include "news/feed_entries.h"
#include "news/feed_scanner.h"
#include "news/hostile_inputs.h"

namespace {

using qv::testing::EmptyFixedBlocks;
using qv::testing::Repeated;
using Clock = std::chrono::steady_clock;

// One well-formed feed of about the given size: items with titles, links and descriptions full
// of escaped markup, as news sites write them.
std::string LargeFeed(size_t bytes) {
    std::string feed = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<rss version=\"2.0\"><channel>"
                       "<title>Bench</title><link>http://bench/</link>\n";
    for (int i = 1; feed.size() < bytes; ++i) {
        const std::string n = std::to_string(i);
        feed += "<item>\n  <title>Item " + n +
                ": Caf\xC3\xA9 prices &amp; the &#8216;market&#8217;</title>\n"
                "  <link>http://bench.example/news/" +
                n + "?ref=rss&amp;id=" + n +
                "</link>\n"
                "  <description>&lt;p&gt;A paragraph of text about item " +
                n +
                ", long enough to look like a summary of a real article with a few words "
                "in it and &lt;a href=&quot;http://x/&quot;&gt;a link&lt;/a&gt;.&lt;/p&gt;"
                "</description>\n  <pubDate>Tue, 08 Dec 2026 01:00:00 GMT</pubDate>\n"
                "  <guid>http://bench.example/news/" +
                n + "</guid>\n</item>\n";
    }
    return feed + "</channel></rss>\n";
}

// An Atom feed of about the given size, entries shaped as blogs and code hosts write them.
std::string LargeAtomFeed(size_t bytes) {
    std::string feed = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
                       "<feed xmlns=\"http://www.w3.org/2005/Atom\"><title>Bench</title>"
                       "<link href=\"http://bench/\"/><id>urn:bench</id>\n";
    for (int i = 1; feed.size() < bytes; ++i) {
        const std::string n = std::to_string(i);
        feed += "<entry>\n  <title type=\"html\">Entry " + n +
                ": Caf\xC3\xA9 prices &amp;amp; the &#8216;market&#8217;</title>\n"
                "  <link rel=\"alternate\" type=\"text/html\" href=\"http://bench.example/e/" +
                n + "?ref=atom&amp;id=" + n +
                "\"/>\n  <link rel=\"replies\" href=\"http://bench.example/c/" + n +
                "\"/>\n  <id>urn:bench:" + n +
                "</id>\n  <updated>2026-12-08T01:00:00Z</updated>\n"
                "  <summary type=\"html\">&lt;p&gt;A paragraph of text about entry " +
                n +
                ", long enough to look like a summary of a real article with a few words in "
                "it and &lt;a href=&quot;http://x/&quot;&gt;a link&lt;/a&gt;.&lt;/p&gt;</summary>\n"
                "  <author><name>Bench</name></author>\n</entry>\n";
    }
    return feed + "</feed>\n";
}

std::string ReadFile(const char* path) {
    std::ostringstream bytes;
    bytes << std::ifstream(path, std::ios::binary).rdbuf();
    return bytes.str();
}

template <typename Run> double BestSeconds(Run run, int rounds) {
    double best = 1e9;
    for (int i = 0; i < rounds; ++i) {
        const auto start = Clock::now();
        run();
        best = std::min(best, std::chrono::duration<double>(Clock::now() - start).count());
    }
    return best;
}

struct ExpatCount {
    int items = 0;
};

void XMLCALL OnStart(void* data, const XML_Char* name, const XML_Char**) {
    if (std::string_view(name) == "item" || std::string_view(name) == "entry") {
        ++static_cast<ExpatCount*>(data)->items;
    }
}
void XMLCALL OnEnd(void*, const XML_Char*) {}
void XMLCALL OnText(void*, const XML_Char*, int) {}

int ExpatItems(const std::string& feed) {
    ExpatCount count;
    XML_Parser parser = XML_ParserCreate(nullptr);
    XML_SetUserData(parser, &count);
    XML_SetElementHandler(parser, OnStart, OnEnd);
    XML_SetCharacterDataHandler(parser, OnText);
    XML_Parse(parser, feed.data(), int(feed.size()), 1);
    XML_ParserFree(parser);
    return count.items;
}

void Measure(const char* name, const std::string& feed) {
    size_t items = 0, rows = 0;
    const double scan = BestSeconds(
        [&] { items = qv::ScanFeed(qv::PrepareFeedText(feed).text).entries.size(); }, 5);
    const double read = BestSeconds([&] { rows = qv::ReadFeedEntries(feed).size(); }, 3);
    int expatItems = 0;
    const double expat = BestSeconds([&] { expatItems = ExpatItems(feed); }, 3);
    const double gb = double(feed.size()) / 1e9;
    std::printf("%s: %.1f MB\n  scanner %8.1f ms  %6.2f GB/s  (%zu items)\n"
                "  rows    %8.1f ms  %6.2f GB/s  (%zu rows: titles and links decoded)\n"
                "  expat   %8.1f ms  %6.2f GB/s  (%d items)\n  scanner / expat: %.1f times "
                "(target at least 5; scanner target at least 1 GB/s)\n",
                name, double(feed.size()) / 1e6, scan * 1e3, gb / scan, items, read * 1e3,
                gb / read, rows, expat * 1e3, gb / expat, expatItems, expat / scan);
}

// Inputs made to cost a careless reader time out of all proportion to their size, each read
// whole against the time of an ordinary feed of the same size.
void MeasureHostile(size_t bytes) {
    const std::string ordinary = LargeFeed(bytes);
    const double base = BestSeconds([&] { qv::ReadFeedEntries(ordinary); }, 3);
    std::printf("hostile inputs of %.0f MB, read into rows (target: at most 4 times the %.1f ms "
                "of an ordinary feed of that size)\n",
                double(bytes) / 1e6, base * 1e3);
    const std::string item = "<rss><channel><item><title>a</title></item>";
    const struct {
        const char* name;
        std::string text;
    } kinds[] = {
        {"unclosed comments", item + Repeated("<!--", bytes)},
        {"unclosed CDATA sections", item + Repeated("<![CDATA[", bytes)},
        {"unclosed instructions", item + Repeated("<?", bytes)},
        {"unclosed declarations", item + Repeated("<!x", bytes)},
        {"script and style elements",
         "<entry><title type=\"html\">" +
             Repeated("&lt;script&gt;x()&lt;/script&gt;&lt;style&gt;p{}&lt;/style&gt;", bytes) +
             "</title></entry>"},
        {"deep unclosed HTML", item + "<item><description>" + Repeated("<p><b>", bytes)},
    };
    for (const auto& kind : kinds) {
        const double took = BestSeconds([&] { qv::ReadFeedEntries(kind.text); }, 3);
        std::printf("  %-26s %8.1f ms  %5.2f times\n", kind.name, took * 1e3, took / base);
    }
    const std::string deflate = EmptyFixedBlocks(bytes, "x");
    const double took =
        BestSeconds([&] { qv::DecodeContent(deflate, "deflate", size_t(16) << 20); }, 3);
    std::printf("  %-26s %8.1f ms  %5.2f times\n", "empty deflate blocks", took * 1e3, took / base);
}

} // namespace

// feed_scan_bench [feed file ...]: a generated 256 MB RSS feed and an Atom feed of the same
// size, hostile inputs of 16 MB, then each file given.
int main(int argc, char** argv) {
    Measure("generated feed", LargeFeed(size_t(256) << 20));
    Measure("generated Atom feed", LargeAtomFeed(size_t(256) << 20));
    MeasureHostile(size_t(16) << 20);
    for (int i = 1; i < argc; ++i) {
        Measure(argv[i], ReadFile(argv[i]));
    }
    return 0;
}
