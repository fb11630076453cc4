#include "settings/stored_text.h"

#include <gtest/gtest.h>

#include <string>

#include "settings/setting_names.h"
#include "settings/update_frequency.h"

namespace {

using qv::StoredText;

TEST(StoredText, AcceptsTextWithOrWithoutItsTerminatingZero) {
    EXPECT_EQ(StoredText(u"abc\0", 4), u"abc");
    EXPECT_EQ(StoredText(u"abc", 3), u"abc");
    EXPECT_EQ(StoredText(u"", 0), u"");
}

TEST(StoredText, StopsAtAnEmbeddedZero) {
    EXPECT_EQ(StoredText(u"ab\0cd\0", 6), u"ab");
}

TEST(StoredText, HoldsAtMost511Characters) {
    std::u16string units(511, u'x');
    units.push_back(u'\0');
    EXPECT_EQ(StoredText(units.data(), units.size()), std::u16string(511, u'x'));

    const std::u16string full(512, u'x'); // no room left for a terminating zero
    EXPECT_EQ(StoredText(full.data(), full.size()), u"");
    const std::u16string longer(600, u'x');
    EXPECT_EQ(StoredText(longer.data(), longer.size()), u"");
}

TEST(UpdateFrequency, StoredIndexChoosesThePeriodAndOthersArmNothing) {
    EXPECT_EQ(qv::UpdatePeriodMs(0), 300000u);
    EXPECT_EQ(qv::UpdatePeriodMs(4), 3600000u);
    EXPECT_EQ(qv::UpdatePeriodMs(5), 7200000u);
    EXPECT_EQ(qv::UpdatePeriodMs(6), std::nullopt);
    EXPECT_EQ(qv::UpdatePeriodMs(0xFFFFFFFF), std::nullopt);
    EXPECT_STREQ(qv::kUpdateFrequencies[3].label, "30 Minutes");
}

TEST(DefaultFeed, OnlyOneToFiveNameAFeed) {
    EXPECT_EQ(qv::DefaultFeedNumber(0), 1);
    EXPECT_EQ(qv::DefaultFeedNumber(3), 3);
    EXPECT_EQ(qv::DefaultFeedNumber(5), 5);
    EXPECT_EQ(qv::DefaultFeedNumber(6), 1);
}

} // namespace
