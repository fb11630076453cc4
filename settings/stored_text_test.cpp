#include "settings/stored_text.h"

#include <gtest/gtest.h>

#include <string>

#include "settings/setting_names.h"
#include "settings/update_frequency.h"

namespace {

using qv::StoredTextFromBytes;

TEST(StoredText, AcceptsTextWithOrWithoutItsTerminatingZero) {
    EXPECT_EQ(StoredTextFromBytes("abc\0", 4), "abc");
    EXPECT_EQ(StoredTextFromBytes("abc", 3), "abc");
    EXPECT_EQ(StoredTextFromBytes("", 0), "");
}

TEST(StoredText, StopsAtAnEmbeddedZero) {
    EXPECT_EQ(StoredTextFromBytes("ab\0cd\0", 6), "ab");
}

TEST(StoredText, HoldsAtMost511Characters) {
    std::string bytes(511, 'x');
    bytes.push_back('\0');
    EXPECT_EQ(StoredTextFromBytes(bytes.data(), bytes.size()), std::string(511, 'x'));

    const std::string full(512, 'x'); // no room left for a terminating zero
    EXPECT_EQ(StoredTextFromBytes(full.data(), full.size()), "");
    const std::string longer(600, 'x');
    EXPECT_EQ(StoredTextFromBytes(longer.data(), longer.size()), "");
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
