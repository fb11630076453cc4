#include "monitor/quantity_format.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

using namespace qv;

TEST(QuantityFormat, RateChangesBandAtEachBound) {
    EXPECT_EQ(FormatRate(0), "0 B");
    EXPECT_EQ(FormatRate(1023), "1023 B");
    EXPECT_EQ(FormatRate(1024), "1.0 KB");
    EXPECT_EQ(FormatRate(1536), "1.5 KB");
    EXPECT_EQ(FormatRate(1048575), "1024.0 KB");
    EXPECT_EQ(FormatRate(1048576), "1.0 MB");
    EXPECT_EQ(FormatRate(1000 * 1048576.0f), "1000.0 MB");
    EXPECT_EQ(FormatRate(1073741824), "1.0 GB");
    EXPECT_EQ(FormatRate(4294967295.0f), "4.0 GB");
}

TEST(QuantityFormat, SizeKeepsTwoDecimalsInEveryUnit) {
    EXPECT_EQ(FormatSize(1023), "1023 B");
    EXPECT_EQ(FormatSize(1024), "1.00 KB");
    EXPECT_EQ(FormatSize(1048575), "1024.00 KB");
    EXPECT_EQ(FormatSize(1048576), "1.00 MB");
    EXPECT_EQ(FormatSize(1073741823), "1.00 GB"); // the nearest float is 1073741824
    EXPECT_EQ(FormatSize(1073741824), "1.00 GB");
    EXPECT_EQ(FormatSize(32.0f * 1073741824), "32.00 GB");
}

TEST(QuantityFormat, CompactSizeWithFewerDecimalsRoundsToThem) {
    const float gigabytes = 23.06f * 1073741824;
    EXPECT_EQ(FormatCompactSize(gigabytes, 2), "23.06 GB");
    EXPECT_EQ(FormatCompactSize(gigabytes, 1), "23.1 GB");
    EXPECT_EQ(FormatCompactSize(gigabytes, 0), "23 GB");
    EXPECT_EQ(FormatCompactSize(500 * 1048576.0f, 2), "500.0 MB"); // never more than its own
    EXPECT_EQ(FormatCompactSize(500 * 1048576.0f, 0), "500 MB");
    EXPECT_EQ(FormatCompactSize(1536, 1), "1.5 KB");
    EXPECT_EQ(FormatCompactSize(1000, 0), "1000 B");
}

TEST(QuantityFormat, CompactSizeDropsTheDecimalOnlyJustUnderAGigabyte) {
    EXPECT_EQ(FormatCompactSize(1023), "1023 B");
    EXPECT_EQ(FormatCompactSize(1024), "1.00 KB");
    EXPECT_EQ(FormatCompactSize(1048575), "1024.00 KB");
    EXPECT_EQ(FormatCompactSize(1048576), "1.0 MB");
    EXPECT_EQ(FormatCompactSize(500 * 1048576.0f), "500.0 MB");
    EXPECT_EQ(FormatCompactSize(999 * 1048576.0f), "999.0 MB"); // not greater than 999
    EXPECT_EQ(FormatCompactSize(999.5f * 1048576), "1000 MB");  // rounds to whole megabytes
    EXPECT_EQ(FormatCompactSize(1000 * 1048576.0f), "1000 MB");
    EXPECT_EQ(FormatCompactSize(1023.5f * 1048576), "1024 MB");
    EXPECT_EQ(FormatCompactSize(1073741824), "1.00 GB");
    EXPECT_EQ(FormatCompactSize(23.5f * 1073741824), "23.50 GB");
}

TEST(QuantityFormat, OddFloatsStillGiveText) {
    const float infinity = std::numeric_limits<float>::infinity();
    EXPECT_EQ(FormatSize(infinity), "inf GB");
    EXPECT_EQ(FormatRate(-5), "-5 B");
    const float largest = std::numeric_limits<float>::max();
    EXPECT_EQ(FormatSize(largest).size(), 36u);
    EXPECT_EQ(FormatSize(largest).view().substr(30), ".00 GB");
}

TEST(QuantityFormat, PercentIsRightAlignedInThreePlaces) {
    EXPECT_EQ(FormatPercent(7), "  7%");
    EXPECT_EQ(FormatPercent(0), "  0%");
    EXPECT_EQ(FormatPercent(25), " 25%");
    EXPECT_EQ(FormatPercent(100), "100%");
    EXPECT_EQ(FormatPercent(-3), " -3%");
}

TEST(QuantityFormat, ElapsedDropsWholeDays) {
    EXPECT_EQ(FormatElapsed(0), "00:00:00");
    EXPECT_EQ(FormatElapsed(59), "00:00:59");
    EXPECT_EQ(FormatElapsed(3725), "01:02:05");
    EXPECT_EQ(FormatElapsed(86399), "23:59:59");
    EXPECT_EQ(FormatElapsed(86400 + 3661), "01:01:01");
    EXPECT_EQ(FormatElapsed(int64_t(1) << 40).size(), 8u);
}

} // namespace
