#include "media/playlist_file.h"

#include <gtest/gtest.h>

#include "media/media_wintest_support.h"
#include "testing/message_box_watch.h"

namespace {

using namespace qv;
using namespace qv::testing;

TEST(PlaylistFile, AMissingFileIsCreatedEmptyAndReadsAsNoEntries) {
    FileBesideProgram file(kPlaylistFileName);
    const auto entries = ReadPlaylistFile();
    ASSERT_TRUE(entries.has_value());
    EXPECT_TRUE(entries->empty());
    EXPECT_TRUE(file.Exists());
    EXPECT_EQ(file.Read(), "");
}

TEST(PlaylistFile, WritesTheRecordsByteForByteAndReadsThemBack) {
    FileBesideProgram file(kPlaylistFileName);
    const std::vector<PlaylistEntry> entries{{"News", "http://radio/a.asx"}, {"Old", "c:\\x.ram"}};
    ASSERT_TRUE(WritePlaylistFile(entries));
    EXPECT_EQ(file.Read(), "<song>News</song><link>http://radio/a.asx</link>\n"
                           "<song>Old</song><link>c:\\x.ram</link>\n");
    EXPECT_EQ(ReadPlaylistFile(), entries);
    ASSERT_TRUE(WritePlaylistFile({}));
    EXPECT_EQ(file.Read(), "");
    EXPECT_FALSE(FileBesideProgram("QVPlaylist.ini.new").Exists());
}

TEST(PlaylistFile, AFailedWriteLeavesThePreviousPlaylistWholeAndSaysSo) {
    FileBesideProgram file(kPlaylistFileName);
    FileBesideProgram copy("QVPlaylist.ini.new");
    file.Write("<song>Kept</song><link>k</link>\n");
    copy.BlockWithDirectory();
    MessageBoxWatch boxes;
    EXPECT_FALSE(WritePlaylistFile(std::vector<PlaylistEntry>{{"Lost", "l"}}));
    EXPECT_EQ(file.Read(), "<song>Kept</song><link>k</link>\n");
    ASSERT_FALSE(boxes.Texts().empty());
    EXPECT_NE(boxes.Texts()[0].find(kPlaylistFileName), std::string::npos);
}

TEST(PlaylistFile, AnUnreadableFileGivesNothingAfterTheErrorBox) {
    FileBesideProgram file(kPlaylistFileName);
    file.BlockWithDirectory();
    MessageBoxWatch boxes;
    EXPECT_FALSE(ReadPlaylistFile().has_value());
    EXPECT_FALSE(boxes.Texts().empty());
}

// Names in the ANSI code page (1252 in the test prefix) keep the file as earlier versions wrote
// it: no mark, one byte a character. Entries are held as UTF-8.
TEST(PlaylistFile, AnAnsiOnlyPlaylistIsWrittenInTheAnsiCodePageAsBefore) {
    ASSERT_EQ(GetACP(), 1252u);
    FileBesideProgram file(kPlaylistFileName);
    const std::vector<PlaylistEntry> entries{{"Café crème", "C:\\Música\\a.mp3"},
                                             {"It’s €5", "http://r/a.asx"}};
    ASSERT_TRUE(WritePlaylistFile(entries));
    EXPECT_EQ(file.Read(), "<song>Caf\xE9 cr\xE8me</song><link>C:\\M\xFAsica\\a.mp3</link>\n"
                           "<song>It\x92s \x80"
                           "5</song><link>http://r/a.asx</link>\n");
    EXPECT_EQ(ReadPlaylistFile(), entries);
    // An empty name holds no character the page lacks.
    ASSERT_TRUE(WritePlaylistFile(std::vector<PlaylistEntry>{{"", "C:\\M\xC3\xBAsica.mp3"}}));
    EXPECT_EQ(file.Read(), "<song></song><link>C:\\M\xFAsica.mp3</link>\n");
}

// A file of an earlier version, in the ANSI code page, reads as it always did.
TEST(PlaylistFile, AFileOfAnEarlierVersionReadsInTheAnsiCodePage) {
    ASSERT_EQ(GetACP(), 1252u);
    FileBesideProgram file(kPlaylistFileName);
    file.Write("<song> Na\xEFve </song>\r\n<link>c:\\\xE9t\xE9.mp3</link>\r\n");
    EXPECT_EQ(ReadPlaylistFile(), (std::vector<PlaylistEntry>{{"Naïve", "c:\\été.mp3"}}));
}

// One name the code page cannot hold makes the whole file UTF-8 with its mark, and it reads back
// in every script. A letter the code page would only approximate ("ĕ" as "e") counts.
TEST(PlaylistFile, NamesTheAnsiCodePageCannotHoldAreWrittenAsUtf8WithTheMark) {
    FileBesideProgram file(kPlaylistFileName);
    const std::vector<PlaylistEntry> entries{
        {"Café", "a.mp3"}, {"Ειδήσεις", "b.mp3"}, {"Новости", "c.mp3"}, {"ニュース", "d.mp3"},
        {"新闻", "e.mp3"}, {"뉴스", "f.mp3"},     {"أخبار", "g.mp3"},
    };
    ASSERT_TRUE(WritePlaylistFile(entries));
    EXPECT_EQ(file.Read(), "\xEF\xBB\xBF" + FormatPlaylist(entries));
    EXPECT_EQ(ReadPlaylistFile(), entries);

    const std::vector<PlaylistEntry> approximated{{"ĕ", "h.mp3"}};
    ASSERT_TRUE(WritePlaylistFile(approximated));
    EXPECT_EQ(file.Read(), "\xEF\xBB\xBF<song>\xC4\x95</song><link>h.mp3</link>\n");
    EXPECT_EQ(ReadPlaylistFile(), approximated);
}

} // namespace
