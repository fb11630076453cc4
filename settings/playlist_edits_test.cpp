#include "settings/playlist_edits.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using namespace std::string_literals;
using qv::RowMove;

TEST(PlaylistEdits, UpAndDownStopAtTheEndsAndWithoutASelection) {
    EXPECT_EQ(qv::MoveUp(0), std::nullopt);
    EXPECT_EQ(qv::MoveUp(-1), std::nullopt);
    EXPECT_EQ(qv::MoveUp(1), (RowMove{1, 0}));
    EXPECT_EQ(qv::MoveDown(4, 5), std::nullopt);
    EXPECT_EQ(qv::MoveDown(-1, 5), std::nullopt);
    EXPECT_EQ(qv::MoveDown(0, 1), std::nullopt);
    EXPECT_EQ(qv::MoveDown(0, 0), std::nullopt);
    EXPECT_EQ(qv::MoveDown(2, 5), (RowMove{2, 3}));
    EXPECT_EQ(qv::MoveDown(3, 5), (RowMove{3, 4}));
}

TEST(PlaylistEdits, DeleteSelectsTheRowThatMovedUpElseTheNewLast) {
    EXPECT_EQ(qv::SelectionAfterDelete(1, 4), 1);
    EXPECT_EQ(qv::SelectionAfterDelete(0, 1), 0);
    EXPECT_EQ(qv::SelectionAfterDelete(4, 4), 3);  // the last of five
    EXPECT_EQ(qv::SelectionAfterDelete(0, 0), -1); // the only row
}

TEST(PlaylistEdits, OnlyAnEmptyFieldRefusesAnEntry) {
    EXPECT_TRUE(qv::EntryFieldsFilled("Intro", "http://a/1.mp3"));
    EXPECT_TRUE(qv::EntryFieldsFilled(" ", " "));
    EXPECT_FALSE(qv::EntryFieldsFilled("", "http://a/1.mp3"));
    EXPECT_FALSE(qv::EntryFieldsFilled("Intro", ""));
}

TEST(PlaylistEdits, BrowseTakesTheTitleAndAddFilesTheName) {
    EXPECT_EQ(qv::FileTitle("C:\\Music\\song.mp3"), "song");
    EXPECT_EQ(qv::FileNameOf("C:\\Music\\song.mp3"), "song.mp3");
    EXPECT_EQ(qv::FileTitle("C:\\Music\\live.set.wma"), "live.set");
    EXPECT_EQ(qv::FileTitle("C:\\Music\\noext"), "noext");
    EXPECT_EQ(qv::FileTitle("C:\\My.Music\\noext"), "noext");
    EXPECT_EQ(qv::FileTitle("C:\\.profile"), ".profile");
    EXPECT_EQ(qv::FileNameOf("song.mp3"), "song.mp3");
    EXPECT_EQ(qv::FileNameOf("C:\\"), "");
}

TEST(FileSelection, OnePathOrAFolderWithItsNamesInOrder) {
    EXPECT_EQ(qv::SelectedFilePaths("C:\\Music\\song.mp3\0\0"s),
              (std::vector<std::string>{"C:\\Music\\song.mp3"}));
    EXPECT_EQ(qv::SelectedFilePaths("C:\\Music\0b.mp3\0a.wma\0\0"s),
              (std::vector<std::string>{"C:\\Music\\b.mp3", "C:\\Music\\a.wma"}));
    EXPECT_EQ(qv::SelectedFilePaths("C:\\\0a.mp3\0b.mp3\0\0"s),
              (std::vector<std::string>{"C:\\a.mp3", "C:\\b.mp3"}));
}

TEST(FileSelection, EmptyOrUnendedAnswersGiveWhatTheyHold) {
    EXPECT_TRUE(qv::SelectedFilePaths(""s).empty());
    EXPECT_TRUE(qv::SelectedFilePaths("\0\0"s).empty());
    EXPECT_EQ(qv::SelectedFilePaths("C:\\x\0a"s), (std::vector<std::string>{"C:\\x\\a"}));
    EXPECT_EQ(qv::SelectedFilePaths("C:\\x"s), (std::vector<std::string>{"C:\\x"}));
}

TEST(FileSelection, AnAnswerRunningToTheBufferEndDidNotFit) {
    EXPECT_FALSE(qv::AnswerFillsBuffer("C:\\a\0b\0\0\0\0"s));
    EXPECT_FALSE(qv::AnswerFillsBuffer("C:\\a.mp3\0\0\0"s));
    EXPECT_TRUE(qv::AnswerFillsBuffer("C:\\a\0b\0\0"s)); // the last place taken: maybe cut
    EXPECT_TRUE(qv::AnswerFillsBuffer("C:\\a\0bbbbb"s)); // no end at all
    EXPECT_TRUE(qv::AnswerFillsBuffer(""s));
}

} // namespace
