#include <gtest/gtest.h>

#include <climits>
#include <cmath>

#include "monitor/adapter_rates.h"
#include "monitor/cpu_load.h"

namespace {

using namespace qv;

constexpr uint64_t kSecond = 10'000'000; // 100-nanosecond units

TEST(CpuLoad, FirstReadingGivesZeroAndTheSecondTheLoad) {
    CpuLoadMeter meter;
    meter.SetProcessorCount(4);
    EXPECT_EQ(meter.Update(50 * kSecond, 1000 * kSecond), 0.0);
    // One of four processors busy for a second: three processor-seconds idle.
    const double load = meter.Update(53 * kSecond, 1001 * kSecond);
    EXPECT_DOUBLE_EQ(load, 25.5);
    EXPECT_EQ(TruncateToInt(load), 25);
    // All idle.
    EXPECT_DOUBLE_EQ(meter.Update(57 * kSecond, 1002 * kSecond), 0.5);
}

TEST(CpuLoad, ReadingWithNoTimeElapsedKeepsTheLastLoad) {
    CpuLoadMeter meter;
    meter.SetProcessorCount(2);
    meter.Update(10 * kSecond, 100 * kSecond);
    EXPECT_DOUBLE_EQ(meter.Update(11 * kSecond, 101 * kSecond), 50.5);
    EXPECT_DOUBLE_EQ(meter.Update(11 * kSecond + 5, 101 * kSecond), 50.5);
    // The next delta counts from the reading that had no elapsed time.
    EXPECT_DOUBLE_EQ(meter.Update(13 * kSecond + 5, 102 * kSecond), 0.5);
}

TEST(CpuLoad, WithoutAProcessorCountTheLoadStaysZero) {
    CpuLoadMeter meter;
    meter.Update(10 * kSecond, 100 * kSecond);
    EXPECT_EQ(meter.Update(10 * kSecond, 101 * kSecond), 0.0);
}

TEST(CpuLoad, TruncationIsSafeForAnyDouble) {
    EXPECT_EQ(TruncateToInt(99.99), 99);
    EXPECT_EQ(TruncateToInt(-0.7), 0);
    EXPECT_EQ(TruncateToInt(-12.9), -12);
    EXPECT_EQ(TruncateToInt(1e300), INT_MAX);
    EXPECT_EQ(TruncateToInt(-1e300), INT_MIN);
    EXPECT_EQ(TruncateToInt(std::nan("")), 0);
}

TEST(AdapterRates, FirstReadingCountsFromZero) {
    AdapterRateMeter meter;
    const AdapterRates first = meter.Update(5000, 300);
    EXPECT_EQ(first.received, 5000.0f);
    EXPECT_EQ(first.sent, 300.0f);
    const AdapterRates second = meter.Update(6536, 300);
    EXPECT_EQ(second.received, 1536.0f);
    EXPECT_EQ(second.sent, 0.0f);
    EXPECT_EQ(FormatAdapterRates(second), "1.5 KB/0 B");
}

TEST(AdapterRates, CounterThatWentBackCountsZeroForOneReading) {
    AdapterRateMeter meter;
    meter.Update(4294967000u, 1000);
    const AdapterRates wrapped = meter.Update(200, 3048);
    EXPECT_EQ(wrapped.received, 0.0f);
    EXPECT_EQ(wrapped.sent, 2048.0f);
    const AdapterRates after = meter.Update(1224, 3048);
    EXPECT_EQ(after.received, 1024.0f);
    EXPECT_EQ(FormatAdapterRates(after), "1.0 KB/0 B");
}

TEST(AdapterRates, FreshIntervalCountsZeroOnceThenRatesAgain) {
    AdapterRateMeter meter;
    meter.Update(1000, 500);
    meter.StartFreshInterval();
    const AdapterRates afterSleep = meter.Update(9'000'000, 700'000);
    EXPECT_EQ(afterSleep.received, 0.0f);
    EXPECT_EQ(afterSleep.sent, 0.0f);
    const AdapterRates next = meter.Update(9'002'048, 700'100);
    EXPECT_EQ(next.received, 2048.0f);
    EXPECT_EQ(next.sent, 100.0f);
}

TEST(AdapterRates, WholeCounterRangeFormats) {
    AdapterRateMeter meter;
    const AdapterRates rates = meter.Update(4294967295u, 4294967295u);
    EXPECT_EQ(FormatAdapterRates(rates), "4.0 GB/4.0 GB");
}

} // namespace
