#include "monitor/background_reader.h"

#include <gtest/gtest.h>

#include "testing/resident_page.h"

namespace {

// Under Wine the reader's thread gets a stack of 1 MB written whole before it runs; what it
// does not stand on is given back before the first reading.
TEST(BackgroundReaderThread, HoldsOnlyTheStackItStandsOn) {
    bool deepPageResident = true;
    qv::BackgroundReader<int> reader([&deepPageResident](int& reading) {
        deepPageResident = qv::testing::PageResident(qv::testing::StackPageBelow(512 * 1024));
        reading = 7;
        return true;
    });
    reader.Request(0);
    ASSERT_TRUE(reader.AwaitIdle(std::chrono::milliseconds(10000)));
    int answer = 0;
    EXPECT_EQ(reader.Take(answer), std::optional<bool>(true));
    EXPECT_EQ(answer, 7);
    EXPECT_FALSE(deepPageResident);
}

} // namespace
