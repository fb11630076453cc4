// Real feeds captured from public sites, kept beside the clones (../shared/rss-corpus), served
// over HTTP to the news window as a server sends them, and read back from its list through the
// wide messages. The expected rows are what a conforming XML parser reads from each feed
// (tools/feed_expectations.py wrote testdata/corpus_expected.tsv). Skipped without the corpus.
#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <sstream>

#include "app/singletons.h"
#include "framework/program_file_path.h"
#include "media/media_wintest_support.h"
#include "news/feed_file.h"
#include "news/news_wintest_support.h"
#include "settings/setting_names.h"
#include "testing/loopback_http_server.h"
#include "testing/system_proxy_override.h"

namespace {

using namespace qv;
using namespace qv::testing;

// The test program lives in build/win/bin of a clone; the corpus beside the clones.
std::string CorpusFolder() {
    return ProgramFilePath("..\\..\\..\\..\\shared\\rss-corpus\\");
}

std::string ReadWhole(const std::string& path) {
    std::ostringstream bytes;
    bytes << std::ifstream(path, std::ios::binary).rdbuf();
    return bytes.str();
}

std::vector<std::string> Columns(const std::string& line) {
    std::vector<std::string> columns;
    std::istringstream fields(line);
    for (std::string field; std::getline(fields, field, '\t');) {
        columns.push_back(field);
    }
    return columns;
}

// File name -> the hashes of its rows, or only their number for the broken feeds.
struct Expected {
    size_t rows = 0;
    std::vector<std::string> hashes;
};

std::map<std::string, Expected> ExpectedRows() {
    std::map<std::string, Expected> all;
    std::istringstream lines(
        ReadWhole(ProgramFilePath("..\\..\\..\\news\\testdata\\corpus_expected.tsv")));
    for (std::string line; std::getline(lines, line);) {
        const auto columns = Columns(line);
        Expected& expected = all[columns.at(0)];
        expected.rows = std::stoul(columns.at(1));
        std::istringstream hashes(columns.size() > 2 ? columns[2] : "");
        for (std::string hash; hashes >> hash;) {
            expected.hashes.push_back(hash);
        }
    }
    std::istringstream index(ReadWhole(CorpusFolder() + "INDEX.tsv"));
    for (std::string line; std::getline(index, line);) {
        if (line.starts_with("BAD-")) {
            const auto columns = Columns(line);
            all[columns.at(0)].rows = std::stoul(columns.at(5));
        }
    }
    return all;
}

std::string Utf8(std::wstring_view text) {
    std::string utf8(text.size() * 3 + 1, '\0');
    utf8.resize(size_t(WideCharToMultiByte(CP_UTF8, 0, text.data(), int(text.size()), utf8.data(),
                                           int(utf8.size()), nullptr, nullptr)));
    return utf8;
}

std::string RowHash(std::wstring_view title, std::wstring_view address) {
    uint64_t hash = 0xCBF29CE484222325ull;
    for (const char c : Utf8(title) + "\n" + Utf8(address)) {
        hash = (hash ^ uint8_t(c)) * 0x100000001B3ull;
    }
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(hash));
    return text;
}

// Until the news window is a Unicode window its list holds ANSI text: a title the ANSI code
// page cannot hold is left out of the comparison there, and counted.
bool ListCanHold(HWND list, std::wstring_view title) {
    BOOL lost = FALSE;
    return IsWindowUnicode(list) ||
           (WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, title.data(), int(title.size()),
                                nullptr, 0, nullptr, &lost) >= 0 &&
            !lost);
}

class FeedCorpusWindow : public ::testing::Test {
protected:
    void SetUp() override {
        if (GetFileAttributesA((CorpusFolder() + "INDEX.tsv").c_str()) == INVALID_FILE_ATTRIBUTES) {
            GTEST_SKIP() << "no feed corpus at " << CorpusFolder();
        }
    }
    void TearDown() override { theNews.Destroy(); }

    // Serves up to five files as the five feeds and lists them through one feed run. Through the
    // proxy each comes from the address its expected rows were read as coming from, so that its
    // relative links resolve the same.
    void RunFeeds(const std::vector<std::string>& names) {
        for (size_t n = 1; n <= names.size(); ++n) {
            const std::string& name = names[n - 1];
            const std::string path = "/" + name;
            // The compressed feed comes as a server sends it: the header says how it is coded.
            const std::string type = name.ends_with(".gz")
                                         ? "application/rss+xml\r\nContent-Encoding: gzip"
                                         : "application/rss+xml";
            server.Route(path,
                         Reply::Page("HTTP/1.1 200 OK", ReadWhole(CorpusFolder() + name), type));
            settings.Text(kFeedSettings[n - 1], "Corpus^http://corpus.example" + path);
        }
        if (!theNews.hwnd()) {
            ASSERT_TRUE(theNews.Create(nullptr));
        } else {
            SendMessageA(theNews.hwnd(), WM_TIMER, UpdateTimer, 0);
        }
        ASSERT_TRUE(WaitForFeedRuns(theNews, 120000));
    }

    void CompareFeed(int feed, const std::string& name, const Expected& expected) {
        theNews.ShowFeed(feed);
        ASSERT_TRUE(WaitForFeedRuns(theNews)); // a long feed is listed a slice at a time
        const auto titles = UnicodeRows(theNews, IDC_NEWS_TITLES);
        const auto links = UnicodeRows(theNews, IDC_NEWS_LINKS);
        ASSERT_EQ(titles.size(), expected.rows) << name;
        ASSERT_EQ(links.size(), expected.rows) << name;
        for (size_t i = 0; i < expected.hashes.size(); ++i) {
            const std::wstring number = std::to_wstring(i + 1) + L". ";
            ASSERT_TRUE(titles[i].starts_with(number)) << name << ": " << Utf8(titles[i]);
            const std::wstring_view title = std::wstring_view(titles[i]).substr(number.size());
            if (!ListCanHold(theNews.Item(IDC_NEWS_TITLES), title)) {
                ++titlesNotAnsi;
                continue;
            }
            EXPECT_EQ(RowHash(title, links[i]), expected.hashes[i])
                << name << " row " << i + 1 << ": " << Utf8(titles[i]) << " -> " << Utf8(links[i]);
        }
    }

    NewsSettings settings;
    FileBesideProgram files[5]{FileBesideProgram("Rss1.xml"), FileBesideProgram("Rss2.xml"),
                               FileBesideProgram("Rss3.xml"), FileBesideProgram("Rss4.xml"),
                               FileBesideProgram("Rss5.xml")};
    LoopbackHttpServer server;
    SystemProxyOverride proxy{server.Port()};
    int titlesNotAnsi = 0;
};

// Well-formed feeds list every row as an XML parser reads it; broken ones list every item their
// start tags promise. The gzip-coded feed is inflated by the download.
TEST_F(FeedCorpusWindow, EveryFeedListsItsRowsInTheNewsWindow) {
    const auto expected = ExpectedRows();
    ASSERT_GE(expected.size(), 70u);
    std::vector<std::string> names;
    for (const auto& [name, rows] : expected) {
        names.push_back(name);
    }
    for (size_t first = 0; first < names.size(); first += 5) {
        const std::vector<std::string> batch(names.begin() + std::ptrdiff_t(first),
                                             names.begin() +
                                                 std::ptrdiff_t(std::min(first + 5, names.size())));
        RunFeeds(batch);
        for (size_t n = 1; n <= batch.size(); ++n) {
            CompareFeed(int(n), batch[n - 1], expected.at(batch[n - 1]));
        }
    }
    if (titlesNotAnsi) {
        std::printf("%d titles the ANSI list cannot hold were not compared\n", titlesNotAnsi);
    }
}

} // namespace
