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

} // namespace
