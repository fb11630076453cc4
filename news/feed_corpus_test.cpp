// The reader over real feeds captured from public sites, kept beside the clones
// (../shared/rss-corpus), against what a conforming XML parser reads from them
// (tools/feed_expectations.py wrote testdata/corpus_expected.tsv). Skipped without the corpus.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "news/feed_entries.h"
#include "news/feed_markup.h"
#include "news/news_link.h"
#include "text/code_pages.h"
#include "text/unicode.h"

namespace {

namespace fs = std::filesystem;

const fs::path kSourceFolder = fs::path(__FILE__).parent_path();
const fs::path kCorpus = kSourceFolder / ".." / ".." / "shared" / "rss-corpus";

std::string ReadWhole(const fs::path& path) {
    std::ostringstream bytes;
    bytes << std::ifstream(path, std::ios::binary).rdbuf();
    return bytes.str();
}

// The same hash as the script's: FNV-1a over the UTF-8 title, a line feed and the address.
std::string RowHash(const qv::FeedEntry& entry) {
    uint64_t hash = 0xCBF29CE484222325ull;
    for (const char c : qv::Utf16ToUtf8(entry.title) + "\n" + qv::NewsLinkAddress(entry.link)) {
        hash = (hash ^ uint8_t(c)) * 0x100000001B3ull;
    }
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(hash));
    return text;
}

struct Expected {
    std::string file;
    size_t rows = 0;
    std::vector<std::string> hashes;
};

std::vector<Expected> ExpectedRows() {
    std::vector<Expected> all;
    std::istringstream lines(ReadWhole(kSourceFolder / "testdata" / "corpus_expected.tsv"));
    for (std::string line; std::getline(lines, line);) {
        std::istringstream fields(line);
        Expected expected;
        std::getline(fields, expected.file, '\t');
        fields >> expected.rows;
        for (std::string hash; fields >> hash;) {
            expected.hashes.push_back(hash);
        }
        all.push_back(std::move(expected));
    }
    return all;
}

class FeedCorpus : public ::testing::Test {
protected:
    void SetUp() override {
        if (!fs::exists(kCorpus / "INDEX.tsv")) {
            GTEST_SKIP() << "no feed corpus at " << kCorpus;
        }
    }
};

// The compressed feed is read after the download has inflated it; its test is the window's.
TEST_F(FeedCorpus, EveryWellFormedFeedListsWhatAnXmlParserReads) {
    const auto expectations = ExpectedRows();
    ASSERT_GE(expectations.size(), 57u);
    for (const Expected& expected : expectations) {
        if (expected.file.ends_with(".gz")) {
            continue;
        }
        const auto entries = qv::ReadFeedEntries(ReadWhole(kCorpus / expected.file), {},
                                                 "http://corpus.example/" + expected.file);
        ASSERT_EQ(entries.size(), expected.rows) << expected.file;
        for (size_t i = 0; i < entries.size(); ++i) {
            EXPECT_EQ(RowHash(entries[i]), expected.hashes[i])
                << expected.file << " row " << i + 1 << ": " << qv::Utf16ToUtf8(entries[i].title)
                << " -> " << entries[i].link << " (tools/feed_expectations.py --show "
                << expected.file << ")";
        }
    }
}

// A feed in Latin-1 that names no encoding reads as Western, without replacement characters.
TEST_F(FeedCorpus, AnUndeclaredLatinOneFeedReadsAsWestern) {
    const auto entries =
        qv::ReadFeedEntries(ReadWhole(kCorpus / "BAD-rss-uol-undeclared-latin1.rss"));
    ASSERT_EQ(entries.size(), 15u);
    bool beyondAscii = false;
    for (const qv::FeedEntry& entry : entries) {
        EXPECT_EQ(entry.title.find(u'\uFFFD'), std::u16string::npos)
            << qv::Utf16ToUtf8(entry.title);
        for (const char16_t c : entry.title) {
            beyondAscii |= c >= 0xC0 && c <= 0xFF; // accented Latin letters
        }
    }
    EXPECT_TRUE(beyondAscii);
}

// Not well-formed feeds: every item or entry whose start tag the corpus's index counted is
// listed, each with a text to show.
TEST_F(FeedCorpus, BrokenFeedsListEveryItemTheyHold) {
    std::istringstream index(ReadWhole(kCorpus / "INDEX.tsv"));
    int broken = 0;
    for (std::string line; std::getline(index, line);) {
        if (!line.starts_with("BAD-")) {
            continue;
        }
        std::vector<std::string> columns;
        std::istringstream fields(line);
        for (std::string field; std::getline(fields, field, '\t');) {
            columns.push_back(field);
        }
        ASSERT_GT(columns.size(), 5u) << line;
        const auto entries = qv::ReadFeedEntries(ReadWhole(kCorpus / columns[0]));
        EXPECT_EQ(entries.size(), std::stoul(columns[5])) << columns[0];
        for (const qv::FeedEntry& entry : entries) {
            EXPECT_FALSE(qv::TrimText(entry.title).empty()) << columns[0];
        }
        ++broken;
    }
    EXPECT_EQ(broken, 12);
}

} // namespace
