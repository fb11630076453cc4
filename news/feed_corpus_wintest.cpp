// The reader over real feeds captured from public sites, kept outside the project beside the
// clones (../shared/rss-corpus); skipped where that folder does not exist.
#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <sstream>

#include "framework/program_file_path.h"
#include "news/feed_encoding.h"
#include "news/feed_file.h"
#include "news/feed_scanner.h"

namespace {

using namespace qv;

// The test program lives in build/win/bin of a clone; the corpus beside the clones.
std::string CorpusFolder() {
    return ProgramFilePath("..\\..\\..\\..\\shared\\rss-corpus\\");
}

std::string ReadCorpusFile(const std::string& name) {
    std::ostringstream bytes;
    bytes << std::ifstream(CorpusFolder() + name, std::ios::binary).rdbuf();
    return bytes.str();
}

std::vector<std::string> CorpusFiles() {
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    const HANDLE search = FindFirstFileA((CorpusFolder() + "*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) {
        return names;
    }
    do {
        const std::string name = found.cFileName;
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && name != "INDEX.tsv" &&
            name != "README.md" && name != "make_stress.py") {
            names.push_back(name);
        }
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return names;
}

// File name -> item count, from the corpus's own index.
std::map<std::string, int> IndexedItemCounts() {
    std::map<std::string, int> counts;
    std::istringstream index(ReadCorpusFile("INDEX.tsv"));
    std::string line;
    while (std::getline(index, line)) {
        std::vector<std::string> columns;
        std::istringstream fields(line);
        for (std::string field; std::getline(fields, field, '\t');) {
            columns.push_back(field);
        }
        if (columns.size() > 5 && !columns[5].empty() && isdigit(uint8_t(columns[5][0]))) {
            counts[columns[0]] = std::stoi(columns[5]);
        }
    }
    return counts;
}

std::vector<std::wstring> UnicodeTitles(const std::string& name) {
    const std::string bytes = ReadCorpusFile(name);
    const FeedText feed = PrepareFeedText(bytes);
    std::vector<std::wstring> titles;
    for (const FeedItem& item : ScanFeedItems(feed.text)) {
        titles.push_back(TitleInUnicode(item.title, TitleCodePage(item.title, feed.codePage)));
    }
    return titles;
}

class RssCorpus : public ::testing::Test {
protected:
    void SetUp() override {
        if (GetFileAttributesA(CorpusFolder().c_str()) == INVALID_FILE_ATTRIBUTES) {
            GTEST_SKIP() << "no feed corpus at " << CorpusFolder();
        }
    }
};

TEST_F(RssCorpus, EveryFileIsListedInPairedNumberedRowsWithoutApostropheEntities) {
    const auto files = CorpusFiles();
    ASSERT_GT(files.size(), 50u);
    for (const std::string& name : files) {
        const NewsRows rows = NewsRowsFromFeed(ReadCorpusFile(name));
        ASSERT_EQ(rows.lines.size(), rows.links.size()) << name;
        for (size_t i = 0; i < rows.lines.size(); ++i) {
            const std::string& line = rows.lines[i];
            EXPECT_EQ(line.rfind(std::to_string(i + 1) + ". ", 0), 0u) << name << ": " << line;
            EXPECT_EQ(line.find("&apos;"), std::string::npos) << name;
            EXPECT_EQ(line.find("&#8217;"), std::string::npos) << name;
            EXPECT_EQ(line.find("&#8216;"), std::string::npos) << name;
        }
    }
}

TEST_F(RssCorpus, PlainFeedsListEveryItemOfTheIndex) {
    const auto counts = IndexedItemCounts();
    for (const char* name :
         {"rss2-atp-podcast-100-items.rss", "rss2-andydote-170-items-2MB.xml",
          "rss2-fale-io-338-items.xml", "rss2-giantbomb-podcast-730-items.rss",
          "rss2-jtemporal-235-items-2.5MB.xml", "rss2-guardian.rss", "rss2-nytimes-world.xml",
          "rss2-time-world-8216-8217.xml", "BAD-rss2-eliot-jones-declares-utf16-but-utf8.xml",
          "BAD-rss-uol-undeclared-latin1.rss"}) {
        ASSERT_TRUE(counts.count(name)) << name;
        EXPECT_EQ(NewsRowsFromFeed(ReadCorpusFile(name)).lines.size(), size_t(counts.at(name)))
            << name;
    }
}

TEST_F(RssCorpus, TranscodedCopiesDecodeToTheOriginalsTitles) {
    const auto western = UnicodeTitles("DERIVED-rss2-economist-windows-1252.xml");
    ASSERT_EQ(western.size(), 300u);
    EXPECT_EQ(western, UnicodeTitles("rss2-economist-asia.xml"));
    const auto cyrillic = UnicodeTitles("DERIVED-rss2-oren-utf-8-cyrillic.xml");
    ASSERT_EQ(cyrillic.size(), 10u);
    EXPECT_EQ(cyrillic, UnicodeTitles("rss2-oren-windows-1251-cyrillic.xml"));
    EXPECT_NE(cyrillic[0].find(L'\u0411'), std::wstring::npos); // a Cyrillic capital be
}

TEST_F(RssCorpus, UndeclaredLatinOneAndDeclaredLegacyPagesDecodeWithoutReplacementCharacters) {
    for (const char* name : {"BAD-rss-uol-undeclared-latin1.rss", "rss2-jn-pt-iso-8859-1.rss",
                             "rss2-latin2-iso-8859-2-SYNTHETIC.rss",
                             "rss2-kc0011-gb2312-chinese.rss", "rss2-markheath-utf8-bom.xml"}) {
        const auto titles = UnicodeTitles(name);
        ASSERT_FALSE(titles.empty()) << name;
        bool beyondAscii = false;
        for (const std::wstring& title : titles) {
            EXPECT_EQ(title.find(L'\uFFFD'), std::wstring::npos) << name;
            for (wchar_t c : title) {
                beyondAscii |= c > 0x7F;
            }
        }
        EXPECT_TRUE(beyondAscii || std::string(name).find("markheath") != std::string::npos)
            << name;
    }
    // The Polish pangram's capitals, outside Latin-1.
    EXPECT_NE(UnicodeTitles("rss2-latin2-iso-8859-2-SYNTHETIC.rss")[0].find(L'\u017B'),
              std::wstring::npos);
}

TEST_F(RssCorpus, TheStressFeedAndCompressedBytesAreReadWithoutFault) {
    const NewsRows stress = NewsRowsFromFeed(ReadCorpusFile("stress-10k.xml"));
    EXPECT_GT(stress.lines.size(), 8000u);
    EXPECT_TRUE(NewsRowsFromFeed(ReadCorpusFile("rss2-nshipster-gzip.xml.gz")).lines.empty());
}

} // namespace
