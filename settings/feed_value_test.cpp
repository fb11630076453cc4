#include "settings/feed_value.h"

#include <gtest/gtest.h>

namespace {

using qv::FeedSlot;
using qv::JoinFeedValue;
using qv::SplitFeedValue;

TEST(FeedValue, SplitsAtTheFirstCaret) {
    EXPECT_EQ(SplitFeedValue("World^http://x/rss"), (FeedSlot{"World", "http://x/rss"}));
    EXPECT_EQ(SplitFeedValue("World^x^y"), (FeedSlot{"World", "x^y"}));
    EXPECT_EQ(SplitFeedValue("^"), (FeedSlot{"", ""}));
    EXPECT_EQ(SplitFeedValue("Title^"), (FeedSlot{"Title", ""}));
    EXPECT_EQ(SplitFeedValue("^source"), (FeedSlot{"", "source"}));
}

TEST(FeedValue, WithoutCaretTheWholeValueIsTheSource) {
    EXPECT_EQ(SplitFeedValue("http://x/rss"), (FeedSlot{"", "http://x/rss"}));
    EXPECT_EQ(SplitFeedValue(""), (FeedSlot{"", ""}));
}

TEST(FeedValue, JoinKeepsBothPartsUntrimmed) {
    EXPECT_EQ(JoinFeedValue("", ""), "^");
    EXPECT_EQ(JoinFeedValue(" a ", " b "), " a ^ b ");
}

TEST(FeedValue, CaretsInTheSourceSurviveARoundTripButNotInTheTitle) {
    EXPECT_EQ(SplitFeedValue(JoinFeedValue("World", "x^y")), (FeedSlot{"World", "x^y"}));
    EXPECT_EQ(JoinFeedValue("A^B", "C"), "A^B^C");
    EXPECT_EQ(SplitFeedValue(JoinFeedValue("A^B", "C")), (FeedSlot{"A", "B^C"}));
}

} // namespace
