#include "settings/option_values.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "settings/feed_value.h"

namespace {

TEST(OptionValues, StoredPositionsSelectOnlyRowsTheListHas) {
    EXPECT_EQ(qv::ListPosition(0, 6), 0);
    EXPECT_EQ(qv::ListPosition(5, 6), 5); // "2 Hours"
    EXPECT_EQ(qv::ListPosition(6, 6), -1);
    EXPECT_EQ(qv::ListPosition(0xFFFFFFFF, 3), -1);
    EXPECT_EQ(qv::ListPosition(0, 0), -1); // no interface table
}

TEST(OptionValues, NoSelectionIsStoredAsMinusOne) {
    EXPECT_EQ(qv::StoredPosition(5), 5u);
    EXPECT_EQ(qv::StoredPosition(0), 0u);
    EXPECT_EQ(qv::StoredPosition(-1), 0xFFFFFFFFu);
}

TEST(OptionValues, FindsTheFirstFeedTitleThatWouldNotSurviveItsValue) {
    const std::vector<qv::FeedSlot> clean{
        {"World", "x^y"}, {"", "^"}, {"a b", ""}, {"Tech", "t"}, {"x", ""}};
    EXPECT_EQ(qv::FeedRowWithCaretInTitle(clean), std::nullopt);
    const std::vector<qv::FeedSlot> caret{
        {"World", ""}, {"", ""}, {"A^B", "C"}, {"^", ""}, {"x", ""}};
    EXPECT_EQ(qv::FeedRowWithCaretInTitle(caret), 3);
    // The reason: such a title comes back cut at its caret.
    EXPECT_NE(qv::SplitFeedValue(qv::JoinFeedValue(caret[2].title, "C")).title, caret[2].title);
    EXPECT_EQ(qv::CaretInTitleMessage(3), "The title of feed 3 cannot contain the ^ character.");
}

// A text of 511 characters is the longest that reads back: title, caret and source together.
TEST(OptionValues, FindsTheFirstFeedTooLongToReadBack) {
    const std::string fits(255, 't');
    std::vector<qv::FeedSlot> rows{
        {"World", "http://w"}, {fits, fits}, {"", std::string(510, 's')}};
    EXPECT_EQ(qv::FeedRowTooLongToStore(rows), std::nullopt);
    rows.push_back({fits, fits + "s"});
    rows.push_back({std::string(600, 'a'), ""});
    EXPECT_EQ(qv::FeedRowTooLongToStore(rows), 4);
    EXPECT_EQ(qv::FeedTooLongMessage(4),
              "Feed 4 is too long to be saved: its title and source may hold 510 characters "
              "together.");
}

// A source that cannot be made an address is named; any other, and an empty one, is kept.
TEST(OptionValues, FindsTheFirstFeedWhoseSourceCannotBeAnAddress) {
    std::vector<qv::FeedSlot> rows{{"", ""},
                                   {"", "http://example.com/\xD0\xBB"},
                                   {"", "http://\xD0\xBF\xD1\x80.ru/"},
                                   {"", "file:///C:/\xE6\x9D\xB1.xml"}};
    EXPECT_EQ(qv::FeedRowWithUnusableSource(rows), std::nullopt);
    rows.push_back({"", "http://\xD0\xBF..ru/"});
    EXPECT_EQ(qv::FeedRowWithUnusableSource(rows), 5);
    EXPECT_EQ(qv::UnusableSourceMessage(5), "The source of feed 5 is not an address that can be "
                                            "fetched: please check its host name.");
}

// The registry counts UTF-16 units, not the bytes of UTF-8: 255 Japanese characters take 765
// bytes but 255 units, and a character beyond the basic plane takes two.
TEST(OptionValues, FeedLengthsCountUtf16Units) {
    std::string japanese;
    for (int i = 0; i < 255; ++i) {
        japanese += "ニ";
    }
    std::vector<qv::FeedSlot> rows{{japanese, std::string(255, 's')}};
    EXPECT_EQ(qv::FeedRowTooLongToStore(rows), std::nullopt);
    rows.push_back({japanese + "ニ", std::string(255, 's')});
    EXPECT_EQ(qv::FeedRowTooLongToStore(rows), 2);
    rows = {{"\U00020BB7", std::string(508, 's')}, {"\U00020BB7", std::string(509, 's')}};
    EXPECT_EQ(qv::FeedRowTooLongToStore(rows), 2);
}

} // namespace
